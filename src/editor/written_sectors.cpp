#include "editor/written_sectors.h"

#include <cstdio>
#include <cstring>

#include "platform/platform.h"
#include "platform/settings.h"
#include "volume/drive_types.h"

WrittenSectors writtenSectors;

namespace {

// The file: this tag, the count, then each record's source (its kind and
// number), size, sector and medium (little-endian, as x86 holds them) with its
// bytes before and after. Records of the earlier kinds knew no medium or only
// drive letters: such a file keeps none.
constexpr char WRITTEN_FILE_TAG[8] = {'V', 'E', 'L', 'D', 'W', 'R', 'T', '3'};

// Beside the INI file, with "WRT" in place of its "INI".
bool writtenFilePath(char* path)
{
    size_t length = std::strlen(iniPath);
    if (length < 3) return false;
    std::snprintf(path, SETTINGS_PATH_SIZE, "%.*sWRT", int(length - 3), iniPath);
    return true;
}

bool isRecordSound(const WrittenSector& write)
{
    bool ended = write.medium.label[MEDIUM_LABEL_SIZE - 1] == '\0' &&
                 write.medium.path[FILE_PATH_SIZE - 1] == '\0';
    bool isFile = write.source.kind == SourceKind::ImageFile;
    bool named = isFile == (write.medium.path[0] != '\0');
    bool known = isFile ? write.source.number == 0
                 : write.source.kind == SourceKind::Drive
                     ? write.source.number >= 0 && write.source.number < DRIVE_COUNT
                     : write.source.kind == SourceKind::Disk && write.source.number >= 0 &&
                           write.source.number < PHYSICAL_DISK_COUNT;
    return known && write.size > 0 && write.size <= IMAGE_BUFFER_SIZE && ended && named;
}

bool readMedium(void* file, MediumIdentity& medium)
{
    return platform.readFile(file, &medium.serialNumber, sizeof medium.serialNumber) &&
           platform.readFile(file, &medium.bytes, sizeof medium.bytes) &&
           platform.readFile(file, &medium.sectorSize, sizeof medium.sectorSize) &&
           platform.readFile(file, medium.label, sizeof medium.label) &&
           platform.readFile(file, medium.path, sizeof medium.path);
}

bool writeMedium(void* file, const MediumIdentity& medium)
{
    return platform.writeFile(file, &medium.serialNumber, sizeof medium.serialNumber) &&
           platform.writeFile(file, &medium.bytes, sizeof medium.bytes) &&
           platform.writeFile(file, &medium.sectorSize, sizeof medium.sectorSize) &&
           platform.writeFile(file, medium.label, sizeof medium.label) &&
           platform.writeFile(file, medium.path, sizeof medium.path);
}

bool readRecords(void* file)
{
    char tag[sizeof WRITTEN_FILE_TAG];
    int32_t count = 0;
    if (!platform.readFile(file, tag, sizeof tag) ||
        std::memcmp(tag, WRITTEN_FILE_TAG, sizeof tag) != 0 ||
        !platform.readFile(file, &count, sizeof count) || count < 0 || count > WRITTEN_SECTORS_MAX)
        return false;
    for (int i = 0; i < count; i++) {
        WrittenSector& write = writtenSectors.writes[i];
        if (!platform.readFile(file, &write.source.kind, sizeof write.source.kind) ||
            !platform.readFile(file, &write.source.number, sizeof write.source.number) ||
            !platform.readFile(file, &write.size, sizeof write.size) ||
            !platform.readFile(file, &write.sector, sizeof write.sector) ||
            !readMedium(file, write.medium) || !isRecordSound(write) ||
            !platform.readFile(file, write.before, write.size) ||
            !platform.readFile(file, write.after, write.size))
            return false;
    }
    writtenSectors.count = count;
    return true;
}

// A file that cannot be written costs only the undo after a restart: the
// records in memory still serve, so nothing is said.
void saveWrittenSectors()
{
    char path[SETTINGS_PATH_SIZE];
    if (!writtenFilePath(path)) return;
    void* file = platform.createFile(path);
    if (file == nullptr) return;
    bool written = platform.writeFile(file, WRITTEN_FILE_TAG, sizeof WRITTEN_FILE_TAG) &&
                   platform.writeFile(file, &writtenSectors.count, sizeof writtenSectors.count);
    for (int i = 0; written && i < writtenSectors.count; i++) {
        const WrittenSector& write = writtenSectors.writes[i];
        written = platform.writeFile(file, &write.source.kind, sizeof write.source.kind) &&
                  platform.writeFile(file, &write.source.number, sizeof write.source.number) &&
                  platform.writeFile(file, &write.size, sizeof write.size) &&
                  platform.writeFile(file, &write.sector, sizeof write.sector) &&
                  writeMedium(file, write.medium) &&
                  platform.writeFile(file, write.before, write.size) &&
                  platform.writeFile(file, write.after, write.size);
    }
    platform.closeFile(file);
    // Half a file would only be refused at the next start.
    if (!written) platform.deleteFile(path);
}

}  // namespace

void loadWrittenSectors()
{
    writtenSectors.count = 0;
    char path[SETTINGS_PATH_SIZE];
    if (!writtenFilePath(path)) return;
    void* file = platform.openFile(path);
    if (file == nullptr) return;
    if (!readRecords(file)) writtenSectors.count = 0;
    platform.closeFile(file);
}

void keepWrittenSector(Source source, SectorNumber sector, uint32_t size, const MediumIdentity& medium,
                       const uint8_t* before, const uint8_t* after)
{
    if (writtenSectors.count == WRITTEN_SECTORS_MAX) {
        std::memmove(&writtenSectors.writes[0], &writtenSectors.writes[1],
                     sizeof(WrittenSector) * (WRITTEN_SECTORS_MAX - 1));
        writtenSectors.count--;
    }
    WrittenSector& write = writtenSectors.writes[writtenSectors.count++];
    write.source = source;
    write.sector = sector;
    write.size = size;
    write.medium = medium;
    std::memcpy(write.before, before, size);
    std::memcpy(write.after, after, size);
    saveWrittenSectors();
}

int newestWriteOf(Source source, const char* path)
{
    for (int i = writtenSectors.count - 1; i >= 0; i--) {
        const WrittenSector& write = writtenSectors.writes[i];
        if (write.source == source && (source.kind != SourceKind::ImageFile ||
                                       std::strcmp(write.medium.path, path) == 0))
            return i;
    }
    return -1;
}

void forgetWrittenSector(int index)
{
    if (index < 0 || index >= writtenSectors.count) return;
    std::memmove(&writtenSectors.writes[index], &writtenSectors.writes[index + 1],
                 sizeof(WrittenSector) * (writtenSectors.count - index - 1));
    writtenSectors.count--;
    saveWrittenSectors();
}
