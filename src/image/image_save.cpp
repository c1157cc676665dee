#include "image/image_save.h"

#include <algorithm>

#include "disk/sector_io.h"
#include "image/drive_image.h"
#include "platform/files.h"
#include "platform/messages.h"
#include "platform/platform.h"

const char* const SAVE_RANGE_NAMES[SAVE_RANGE_COUNT] = {
    "ドライブ全体", "ＩＰＬ領域", "ＦＡＴ領域", "ＤＩＲ領域", "ＤＡＴＡ領域", "ユーザ指定",
};

SectorNumber imageSaveStart = 0;
SectorNumber imageSaveCount = 1;

namespace {

VolumeArea areaOf(SaveRange range)
{
    switch (range) {
    case SaveRange::Ipl: return VolumeArea::Ipl;
    case SaveRange::Fat: return VolumeArea::Fat;
    case SaveRange::Dir: return VolumeArea::Dir;
    case SaveRange::Data: return VolumeArea::Data;
    default: return VolumeArea::WholeDrive;
    }
}

}  // namespace

// Every range must lie inside the volume: a damaged boot sector could put an
// area past its end, where sector numbers would wrap round to its start.
bool resolveSaveRange(SaveRange range, const ImageDrive& target, SectorNumber& start,
                      SectorNumber& count)
{
    bool userSpecified = range == SaveRange::UserSpecified;
    if (isAreaRefused(target, range != SaveRange::WholeDrive && !userSpecified)) return false;
    if (!userSpecified) {
        SectorRange area = areaRange(areaOf(range), target.layout);
        start = area.first;
        count = area.count;
    }
    SectorNumber total = target.layout.totalSectors;
    bool inside = count <= total && start <= total - count;
    if (inside && (count != 0 || !userSpecified)) return true;
    showMessage(MSG_BAD_PARAMETER, MessageKind::Error);
    return false;
}

namespace {

// A sector that could not be read never reaches the file as if it were
// disk content: the run stops before it.
RunResult saveSectors(const ImageDrive& target, void* file)
{
    uint32_t sectorSize = target.space.bytesPerSector, chunk = runChunkSectors(sectorSize);
    RunBuffer buffer(chunk * sectorSize);
    if (buffer.bytes == nullptr) return {RunOutcome::Failed, MSG_OUT_OF_MEMORY, 0};
    if (!SectorIo::beginRun(SectorOp::Read, target.source, sectorSize, true))
        return {RunOutcome::Failed, MSG_SECTOR_READ_ERROR, 0};
    RunProgress progress;
    for (SectorNumber done = 0; done < imageSaveCount; done += chunk) {
        showRunProgress(progress, done, imageSaveCount);
        uint32_t step = uint32_t(std::min<SectorNumber>(chunk, imageSaveCount - done));
        if (SectorIo::transfer(SectorOp::Read, target.source, step, imageSaveStart + done,
                               buffer.bytes) != SECTOR_STATUS_OK)
            return {RunOutcome::Failed, MSG_SECTOR_READ_ERROR, done};
        if (!platform.writeFile(file, buffer.bytes, step * sectorSize))
            return {RunOutcome::Failed, MSG_FILE_WRITE_ERROR, done};
        if (done + step < imageSaveCount && !platform.continueRun())
            return {RunOutcome::Stopped, MSG_RUN_STOPPED, done + step};
    }
    return {RunOutcome::Done, MSG_DONE, imageSaveCount};
}

void saveImage(const char* fileText, Source source, SaveRange range)
{
    if (!takeImageFilePath(fileText) || isImageOnDrive(lastFilePath, source)) return;
    if (platform.fileExists(lastFilePath) && !askToProceed(MSG_FILE_EXISTS)) return;
    ImageDrive target;
    if (!queryImageDrive(source, target) ||
        !resolveSaveRange(range, target, imageSaveStart, imageSaveCount))
        return;
    void* file = platform.createFile(lastFilePath);
    if (file == nullptr) {
        showMessage(MSG_FILE_OPEN_ERROR, MessageKind::Error);
        return;
    }
    RunResult result = saveSectors(target, file);
    SectorIo::endRun(false);
    platform.closeFile(file);
    // Part of a drive under the chosen name would pass for a backup of all of it.
    if (result.end != RunOutcome::Done) platform.deleteFile(lastFilePath);
    reportRunEnd(result, nullptr);
}

}  // namespace

// The run may query another drive than the one shown: what the editor's
// commands go by is put back afterwards.
void runImageSave(const char* fileText, Source source, SaveRange range)
{
    const VolumeInfo shown = volumeInfo;
    saveImage(fileText, source, range);
    volumeInfo = shown;
}
