#include "image/image_save.h"

#include <algorithm>
#include <cstdio>

#include "disk/sector_io.h"
#include "image/drive_image.h"
#include "image/map_file.h"
#include "image/rescue_map.h"
#include "image/rescue_run.h"
#include "platform/files.h"
#include "platform/messages.h"
#include "platform/platform.h"
#include "platform/settings.h"

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

// Whether to go on past the first unreadable sector: its number, found one
// sector at a time, in the question. Going on begins the map: every sector
// before the failed chunk is in the image already.
RunResult askToRescue(const ImageDrive& target, void* file, SectorNumber done, uint32_t step,
                      uint8_t* buffer, RescueMap& map, const char* mapPath)
{
    char question[512];
    std::snprintf(question, sizeof question, messageText(MSG_RESCUE_ASK),
                  (unsigned long long)firstUnreadable(target, imageSaveStart + done, step, buffer));
    if (!askToProceedWith(MSG_RESCUE_ASK, question))
        return {RunOutcome::Refused, MSG_RESCUE_ASK, done};
    if (!beginMap(map, imageSaveStart, imageSaveCount, target.space.bytesPerSector) ||
        !markSectors(map, 0, done, MapStatus::Finished))
        return {RunOutcome::Failed, MSG_OUT_OF_MEMORY, done};
    // Only a map on disk makes part of a drive worth keeping: one that cannot
    // be written (a full disk, an old map that would not go) ends the save
    // as any failed one, with no map begun.
    if (!writeMapFile(mapPath, map)) {
        platform.deleteFile(mapPath);
        map.count = 0;
        return {RunOutcome::Failed, MSG_FILE_WRITE_ERROR, done};
    }
    return rescueSectors(target, file, map, mapPath, settings.readRetries);
}

// A sector that could not be read never reaches the file as if it were
// disk content: the run stops before it, or the user has it filled with
// zeros and listed in the map.
RunResult saveSectors(const ImageDrive& target, void* file, RescueMap& map, const char* mapPath)
{
    uint32_t sectorSize = target.space.bytesPerSector, chunk = runChunkSectors(sectorSize);
    RunBuffer buffer(chunk * sectorSize);
    if (buffer.bytes == nullptr) return {RunOutcome::Failed, MSG_OUT_OF_MEMORY, 0};
    RunProgress progress;
    for (SectorNumber done = 0; done < imageSaveCount; done += chunk) {
        showRunProgress(progress, done, imageSaveCount);
        uint32_t step = uint32_t(std::min<SectorNumber>(chunk, imageSaveCount - done));
        if (SectorIo::transfer(SectorOp::Read, target.source, step, imageSaveStart + done,
                               buffer.bytes) != SECTOR_STATUS_OK)
            return askToRescue(target, file, done, step, buffer.bytes, map, mapPath);
        if (!platform.writeFile(file, buffer.bytes, step * sectorSize))
            return {RunOutcome::Failed, MSG_FILE_WRITE_ERROR, done};
        if (done + step < imageSaveCount && !platform.continueRun())
            return {RunOutcome::Stopped, MSG_RUN_STOPPED, done + step};
    }
    return {RunOutcome::Done, MSG_DONE, imageSaveCount};
}

// How a run that kept a map ended. Once a map is begun, the image and the
// map stay whatever happens: they hold what a failing drive gave, and the
// map tells what they lack.
void reportRescue(const RunResult& result, const RescueMap& map, const char* mapPath,
                  SectorNumber unreadBefore)
{
    char text[768];
    SectorNumber unread = unreadSectors(map);
    if (result.end == RunOutcome::Done && unreadBefore != 0) {
        std::snprintf(text, sizeof text, messageText(MSG_RETRY_DONE),
                      (unsigned long long)(unreadBefore - unread), (unsigned long long)unread,
                      mapPath);
        showFinished(MSG_RETRY_DONE, text);
    } else if (result.end == RunOutcome::Done && unread != 0) {
        std::snprintf(text, sizeof text, messageText(MSG_RESCUE_DONE), (unsigned long long)unread,
                      mapPath);
        showFinished(MSG_RESCUE_DONE, text);
    } else if (result.end == RunOutcome::Done) {
        // Every sector was read in the end: a whole image needs no map.
        platform.deleteFile(mapPath);
        reportRunEnd(result, nullptr);
    } else {
        std::snprintf(text, sizeof text, messageText(MSG_MAP_KEPT), mapPath);
        reportRunEnd(result, text);
    }
}

// Going back for the sectors a map lists as not read, into the image beside
// it: true when the save is over (gone back, or refused with a message),
// false to go on to the question about overwriting the image.
bool retryFromMap(Source source, SaveRange range, const char* mapPath)
{
    if (!platform.fileExists(mapPath)) return false;
    ImageDrive target;
    RescueMap map;
    if (!queryImageDrive(source, target) ||
        !resolveSaveRange(range, target, imageSaveStart, imageSaveCount))
        return true;
    MapFileState state = readMapFile(mapPath, target.space.bytesPerSector, map);
    if (state != MapFileState::Read || map.first != imageSaveStart || map.count != imageSaveCount) {
        showMapUnreadable(mapPath);
        return false;
    }
    SectorNumber unread = unreadSectors(map);
    char question[768];
    std::snprintf(question, sizeof question, messageText(MSG_RESCUE_RETRY), mapPath,
                  (unsigned long long)unread);
    if (unread == 0 || !askToProceedWith(MSG_RESCUE_RETRY, question)) return false;
    // Each bad sector is read again as one never read alone, then retried.
    SectorRange bad;
    while (nextStretch(map, 0, MapStatus::Bad, bad)) {
        if (markSectors(map, bad.first, bad.count, MapStatus::NonScraped)) continue;
        showMessage(MSG_OUT_OF_MEMORY, MessageKind::Error);
        return true;
    }
    void* file = platform.updateFile(lastFilePath);
    if (file == nullptr) {
        showMessage(MSG_FILE_OPEN_ERROR, MessageKind::Error);
        return true;
    }
    RunResult result{RunOutcome::Failed, MSG_SECTOR_READ_ERROR, 0};
    if (SectorIo::beginRun(SectorOp::Read, target.source, target.space.bytesPerSector, true))
        result = rescueSectors(target, file, map, mapPath, settings.readRetries);
    SectorIo::endRun(false);
    platform.closeFile(file);
    reportRescue(result, map, mapPath, unread);
    return true;
}

void saveImage(const char* fileText, Source source, SaveRange range)
{
    if (!takeImageFilePath(fileText) || isImageOnDrive(lastFilePath, source)) return;
    char mapPath[MAP_PATH_SIZE];
    mapPathOf(lastFilePath, mapPath);
    if (platform.fileExists(lastFilePath) &&
        (retryFromMap(source, range, mapPath) || !askToProceed(MSG_FILE_EXISTS)))
        return;
    ImageDrive target;
    if (!queryImageDrive(source, target) ||
        !resolveSaveRange(range, target, imageSaveStart, imageSaveCount))
        return;
    void* file = platform.createFile(lastFilePath);
    if (file == nullptr) {
        showMessage(MSG_FILE_OPEN_ERROR, MessageKind::Error);
        return;
    }
    // A map left by an earlier save would tell of sectors this image holds.
    platform.deleteFile(mapPath);
    RescueMap map;
    RunResult result{RunOutcome::Failed, MSG_SECTOR_READ_ERROR, 0};
    if (SectorIo::beginRun(SectorOp::Read, target.source, target.space.bytesPerSector, true))
        result = saveSectors(target, file, map, mapPath);
    SectorIo::endRun(false);
    platform.closeFile(file);
    if (map.count != 0) {
        reportRescue(result, map, mapPath, 0);
        return;
    }
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
