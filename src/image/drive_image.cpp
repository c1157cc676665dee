#include "image/drive_image.h"

#include <cstdio>

#include "disk/sector_io.h"
#include "editor/editor_state.h"
#include "platform/files.h"
#include "platform/messages.h"
#include "platform/platform.h"

namespace {

// FAT32 counts one cluster less as its data area than the volume holds:
// the image keeps the last cluster too.
SectorNumber dataAreaSectors(const VolumeLayout& layout)
{
    if (layout.fatType != 32) return layout.dataSectors;
    return layout.totalSectors > layout.dataStart ? layout.totalSectors - layout.dataStart : 0;
}

}  // namespace

SectorRange areaRange(VolumeArea area, const VolumeLayout& layout)
{
    switch (area) {
    case VolumeArea::Ipl: return {0, layout.reservedSectors};
    case VolumeArea::Fat: return {layout.reservedSectors, layout.sectorsPerFat};
    case VolumeArea::Dir: return {layout.dirStart, layout.rootDirSectors};
    case VolumeArea::Data: return {layout.dataStart, dataAreaSectors(layout)};
    case VolumeArea::WholeDrive: break;
    }
    return {0, layout.totalSectors};
}

bool takeImageFilePath(const char* fileText)
{
    std::snprintf(lastFilePath, FILE_PATH_SIZE, "%s", fileText);
    if (lastFilePath[0] == '\0') {
        showMessage(MSG_NO_FILE, MessageKind::Warning);
        return false;
    }
    if (!isDevicePath(lastFilePath)) return true;
    showMessage(MSG_DEVICE_PATH, MessageKind::Error);
    return false;
}

void offerShownPartition(SectorNumber& start, SectorNumber* count)
{
    if (editorWindow.partition < 0) return;
    const Partition& partition = partitionTable.entries[editorWindow.partition];
    start = partition.firstSector;
    if (count != nullptr) *count = partition.sectorCount;
}

bool isFileOnSource(const char* path, Source source)
{
    // A whole disk holds every volume on it.
    int drive = driveOfFile(path);
    if (drive < 0) return false;
    return source.kind == SourceKind::Drive
               ? drive == source.number
               : source.kind == SourceKind::Disk && platform.isDriveOnDisk(drive, source.number);
}

bool isImageOnDrive(const char* path, Source source)
{
    if (!isFileOnSource(path, source)) return false;
    showMessage(MSG_IMAGE_ON_TARGET, MessageKind::Error);
    return true;
}

bool queryImageDrive(Source source, ImageDrive& target)
{
    if (source.kind == SourceKind::None) {
        showMessage(MSG_NO_DRIVE, MessageKind::Warning);
        return false;
    }
    target.source = source;
    if (!openVolume(source, target.space, target.layout)) {
        showMessage(MSG_SECTOR_READ_ERROR, MessageKind::Error);
        return false;
    }
    // A chunk of no sectors would never end; a sector larger than the buffer
    // would overrun it.
    uint32_t sectorSize = target.space.bytesPerSector;
    if (sectorSize == 0 || sectorSize > IMAGE_BUFFER_SIZE) {
        showMessage(MSG_DRIVE_UNSUPPORTED, MessageKind::Error);
        return false;
    }
    target.isNtfs = volumeInfo.isNtfs;
    target.isRaw = volumeInfo.isRaw;
    return true;
}

bool isAreaRefused(const ImageDrive& target, bool area)
{
    if (!area || (!target.isNtfs && !target.isRaw)) return false;
    showMessage(target.isRaw ? MSG_BAD_PARAMETER : MSG_NTFS_NOT_ALLOWED, MessageKind::Error);
    return true;
}

void showFinished(MessageId id, const char* text)
{
    platform.showProgress(100);
    showTextWithDetail(text, messageKind(id), nullptr);
    platform.showProgress(0);
}

void reportRunEnd(const RunResult& result, const char* detail)
{
    switch (result.end) {
    case RunOutcome::Done: {
        // A text with places for them takes the first sector, the last and the count.
        char text[256];
        std::snprintf(text, sizeof text, messageText(result.message),
                      (unsigned long long)result.sector,
                      (unsigned long long)(result.sector + result.done - 1),
                      (unsigned long long)result.done);
        showFinished(result.message, text);
        return;
    }
    case RunOutcome::Stopped:
        showTextWithDetail(messageText(result.message), MessageKind::Warning, detail);
        break;
    case RunOutcome::Failed: {
        // A text without a place for the sector takes none.
        char text[256];
        std::snprintf(text, sizeof text, messageText(result.message),
                      (unsigned long long)result.sector);
        showTextWithDetail(text, MessageKind::Error, detail);
        break;
    }
    case RunOutcome::Refused: break;
    }
    platform.showProgress(0);
}

SectorNumber firstUnreadable(const ImageDrive& target, SectorNumber first, uint32_t count,
                             uint8_t* buffer)
{
    for (uint32_t k = 0; k < count; k++)
        if (SectorIo::transfer(SectorOp::Read, target.source, 1, first + k, buffer) !=
            SECTOR_STATUS_OK)
            return first + k;
    return first;  // readable one at a time: the chunk's read failed as a whole
}
