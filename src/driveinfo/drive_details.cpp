#include "driveinfo/drive_details.h"

#include <cstdio>
#include <cstring>

#include "editor/editor_state.h"
#include "volume/drive_types.h"
#include "volume/volume_info.h"

namespace {

constexpr uint64_t BYTE_COUNT_SPLIT = 100000000;

const char* const PROPERTY_MENU_TEXTS[] = {"ﾌﾟﾛﾊﾟﾃｨ(&R)", "プロパティ(&R)"};
const char* const FORMAT_MENU_TEXTS[] = {"ﾌｫｰﾏｯﾄ(&M)...", "フォーマット(&M)...",
                                         "フォーマット(&A)..."};
const char* const EJECT_MENU_TEXTS[] = {"取り出し(&J)"};

using Fields = char[DETAIL_FIELD_COUNT][DETAIL_TEXT_SIZE];

// Counts as printf gives them, 64 bits wide: an NTFS or raw volume's sectors pass 32.
void setField(Fields& fields, DetailField field, const char* format, unsigned long long value)
{
    std::snprintf(fields[field], DETAIL_TEXT_SIZE, format, value);
}

// Where the extended query is missing, the 32-bit figures' products are
// formed in 64 bits, so a volume past 4 GiB does not wrap.
void fillSpace(Fields& fields)
{
    const DriveSpace& space = editorSpace;
    uint64_t cluster = uint64_t(space.bytesPerSector) * space.sectorsPerCluster;
    uint64_t total = space.totalBytes != 0 ? space.totalBytes : cluster * space.totalClusters;
    uint64_t free = space.freeBytesAvailable != 0 ? space.freeBytesAvailable
                                                   : cluster * space.freeClusters;
    formatByteCount(total, fields[DETAIL_TOTAL_BYTES]);
    formatByteCount(free, fields[DETAIL_FREE_BYTES]);
}

// A raw volume has no file system to ask: its size is the device's, and its
// free space unknown.
void fillDeviceSize(Fields& fields)
{
    formatByteCount(uint64_t(editorLayout.totalSectors) * editorLayout.bytesPerSector,
                    fields[DETAIL_TOTAL_BYTES]);
}

// FAT32 counts the clusters of its whole data region, as the cluster dialog does.
void fillClusters(Fields& fields)
{
    const VolumeLayout& layout = editorLayout;
    if (layout.sectorsPerCluster == 0) return;
    SectorNumber dataSectors = layout.dataSectors;
    if (layout.fatType == 32)
        dataSectors = layout.totalSectors > layout.dataStart ? layout.totalSectors - layout.dataStart : 0;
    setField(fields, DETAIL_CLUSTERS, "%15llu", dataSectors / layout.sectorsPerCluster);
}

void fillFatAreas(Fields& fields)
{
    const VolumeLayout& layout = editorLayout;
    std::snprintf(fields[DETAIL_FILE_SYSTEM], DETAIL_TEXT_SIZE, "FAT%d", int(layout.fatType));
    setField(fields, DETAIL_IPL_SECTORS, "%15llu", layout.reservedSectors);
    std::snprintf(fields[DETAIL_FAT_SECTORS], DETAIL_TEXT_SIZE, "%9u × %d",
                  unsigned(layout.sectorsPerFat), int(layout.fatCount));
    setField(fields, DETAIL_DIR_SECTORS, "%15llu", layout.rootDirSectors);
    setField(fields, DETAIL_DATA_SECTORS, "%15llu", layout.dataSectors);
}

// A volume the system cannot read shows no label and no serial: another
// volume's serial here would invite formatting the wrong disk.
void fillIdentity(Fields& fields, const VolumeInfo& info, bool read)
{
    if (!read) return;
    std::snprintf(fields[DETAIL_VOLUME_NAME], DETAIL_TEXT_SIZE, "%s", info.volumeName);
    std::snprintf(fields[DETAIL_SERIAL], DETAIL_TEXT_SIZE, "%04X-%04X",
                  unsigned(info.serialNumber >> 16), unsigned(info.serialNumber & 0xFFFF));
}

}  // namespace

const MenuCandidates PROPERTIES_TEXTS = {PROPERTY_MENU_TEXTS, 2, "properties"};
const MenuCandidates FORMAT_TEXTS = {FORMAT_MENU_TEXTS, 3, nullptr};
const MenuCandidates EJECT_TEXTS = {EJECT_MENU_TEXTS, 1, "eject"};

void formatByteCount(uint64_t value, char out[DETAIL_TEXT_SIZE])
{
    if (value < BYTE_COUNT_SPLIT) {
        std::snprintf(out, DETAIL_TEXT_SIZE, "%15u", unsigned(value));
        return;
    }
    std::snprintf(out, DETAIL_TEXT_SIZE, "%7llu%08u",
                  static_cast<unsigned long long>(value / BYTE_COUNT_SPLIT),
                  unsigned(value % BYTE_COUNT_SPLIT));
}

void readDriveDetails(DriveDetails& details)
{
    details = DriveDetails{};
    int drive = editor.source.number;  // the command is there for drive letters only
    // 0x82 0x60 + n is the full-width capital letter n of Shift-JIS.
    std::snprintf(details.title, DETAIL_TEXT_SIZE, "%c%cドライブ詳細情報", 0x82, 0x60 + drive);
    // The label is read afresh, but the volume stays open as the editor opened it.
    bool raw = volumeInfo.isRaw;
    bool read = readVolumeInfo(drive, volumeInfo);
    if (raw) {
        volumeInfo.isRaw = true;
        volumeInfo.isNtfs = false;
    }
    Fields& fields = details.fields;
    if (raw)
        fillDeviceSize(fields);
    else if (!volumeInfo.isNtfs)
        fillSpace(fields);
    setField(fields, DETAIL_TOTAL_SECTORS, "%15llu", editorLayout.totalSectors);
    if (!volumeInfo.isNtfs) fillClusters(fields);
    if (!raw) setField(fields, DETAIL_SECTORS_PER_CLUSTER, "%llu", editorLayout.sectorsPerCluster);
    setField(fields, DETAIL_BYTES_PER_SECTOR, "%llu", editorLayout.bytesPerSector);
    std::snprintf(fields[DETAIL_DRIVE_TYPE], DETAIL_TEXT_SIZE, "%s", driveTypeName(drive));
    if (volumeInfo.isNtfs)
        std::snprintf(fields[DETAIL_FILE_SYSTEM], DETAIL_TEXT_SIZE, "NTFS");
    else if (editorLayout.fatType != 0)  // a raw volume has no areas
        fillFatAreas(fields);
    fillIdentity(fields, volumeInfo, read);
}

int findMenuCandidate(const char* const* menuTexts, int menuCount, const MenuCandidates& candidates)
{
    for (int position = 0; position < menuCount; position++)
        for (int k = 0; k < candidates.count; k++)
            if (std::strcmp(menuTexts[position], candidates.texts[k]) == 0) return position;
    return -1;
}
