#include "image/drive_image.h"

#include <algorithm>
#include <cstdio>

#include "disk/sector_io.h"
#include "platform/files.h"
#include "platform/messages.h"
#include "platform/platform.h"

uint32_t transferChunk(SectorNumber count, uint32_t bytesPerSector)
{
    uint32_t limit = bytesPerSector == 0 ? 0 : IMAGE_BUFFER_SIZE / bytesPerSector;
    for (uint32_t chunk = uint32_t(std::min<SectorNumber>(limit, count)); chunk > 1; chunk--)
        if (count % chunk == 0) return chunk;
    return 1;
}

bool takeImageFilePath(const char* fileText)
{
    std::snprintf(lastFilePath, FILE_PATH_SIZE, "%s", fileText);
    if (lastFilePath[0] != '\0') return true;
    showMessage(MSG_NO_FILE, MessageKind::Warning);
    return false;
}

bool isImageOnDrive(const char* path, int drive)
{
    if (drive < 0 || driveOfFile(path) != drive) return false;
    showMessage(MSG_IMAGE_ON_TARGET, MessageKind::Error);
    return true;
}

bool queryImageDrive(int drive, ImageDrive& target)
{
    if (drive < 0) {
        showMessage(MSG_NO_DRIVE, MessageKind::Warning);
        return false;
    }
    target.drive = drive;
    if (!openVolume(drive, target.space, target.layout)) {
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

void showRunProgress(RunProgress& progress, SectorNumber done, SectorNumber count)
{
    // done × 100 would pass 64 bits on a count that large.
    int percent = int(count <= UINT64_MAX / 100 ? done * 100 / count : done / (count / 100));
    if (percent == progress.shown) return;
    progress.shown = percent;
    platform.showProgress(percent);
}

void reportRunEnd(const RunResult& result, const char* detail)
{
    switch (result.end) {
    case RunOutcome::Done:
        platform.showProgress(100);
        showMessage(MSG_DONE, MessageKind::Info);
        break;
    case RunOutcome::Stopped: showMessageWithDetail(MSG_RUN_STOPPED, MessageKind::Warning, detail); break;
    case RunOutcome::Failed: showMessageWithDetail(result.error, MessageKind::Error, detail); break;
    case RunOutcome::Refused: break;
    }
    platform.showProgress(0);
}
