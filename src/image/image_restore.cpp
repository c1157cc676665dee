#include "image/image_restore.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "disk/sector_io.h"
#include "editor/editor_state.h"
#include "editor/navigation.h"
#include "image/drive_image.h"
#include "image/map_file.h"
#include "platform/files.h"
#include "platform/messages.h"
#include "platform/platform.h"
#include "volume/medium.h"

const char* const RESTORE_START_NAMES[RESTORE_START_COUNT] = {
    "先頭", "ＦＡＴ領域", "ＤＩＲ領域", "ＤＡＴＡ領域", "ユーザ指定",
};

SectorNumber imageRestoreStart = 0;
SectorNumber imageVerifyStart = 0;

namespace {

constexpr uint32_t LAYOUT_FIRST_BYTE = 11;
constexpr uint32_t LAYOUT_BYTES = 21;

VolumeArea areaOf(RestoreStart start)
{
    switch (start) {
    case RestoreStart::Fat: return VolumeArea::Fat;
    case RestoreStart::Dir: return VolumeArea::Dir;
    case RestoreStart::Data: return VolumeArea::Data;
    default: return VolumeArea::WholeDrive;
    }
}

// `first`: the remembered start of the restore or of the verify.
bool resolveStart(RestoreStart start, const ImageDrive& target, SectorNumber& first)
{
    bool userSpecified = start == RestoreStart::UserSpecified;
    if (isAreaRefused(target, start != RestoreStart::DriveStart && !userSpecified)) return false;
    if (!userSpecified) first = areaRange(areaOf(start), target.layout).first;
    if (!userSpecified || first < target.layout.totalSectors) return true;
    showMessage(MSG_BAD_PARAMETER, MessageKind::Error);
    return false;
}

// The image file of lastFilePath, open, with its whole 64-bit length, so an
// image of 4 GiB or more is never cut down to its low 32 bits; null, with the
// message shown, when it cannot be read.
void* openRunImage(uint64_t& size)
{
    void* file = platform.openFile(lastFilePath);
    if (file == nullptr) {
        showMessage(MSG_FILE_OPEN_ERROR, MessageKind::Error);
        return nullptr;
    }
    if (platform.getFileSize(file, &size)) return file;
    platform.closeFile(file);
    showMessage(MSG_FILE_READ_ERROR, MessageKind::Error);
    return nullptr;
}

// Whole sectors, at least one, which must fit between the start and the end
// of the volume: nothing is written past it, into whatever follows on the
// disk, and no partial sector is dropped without a word.
bool countRestoreSectors(uint64_t size, const ImageDrive& target, SectorNumber first,
                         SectorNumber& count)
{
    uint32_t sectorSize = target.space.bytesPerSector;
    if (size < sectorSize || size % sectorSize != 0) {
        char text[256];
        std::snprintf(text, sizeof text, messageText(MSG_IMAGE_NOT_SECTORS),
                      (unsigned long long)size, (unsigned long)sectorSize);
        showTextWithDetail(text, messageKind(MSG_IMAGE_NOT_SECTORS), nullptr);
        return false;
    }
    SectorNumber total = target.layout.totalSectors;
    SectorNumber room = total > first ? total - first : 0;
    count = size / sectorSize;
    if (count <= room) return true;
    showMessage(MSG_BAD_PARAMETER, MessageKind::Error);
    return false;
}

// An image of another size than the range does not match it, whatever its
// sectors hold: what it holds is told against the range.
void showSizeDiffers(uint64_t size, uint32_t sectorSize, SectorNumber rangeSectors)
{
    char holds[64], text[256];
    int at = std::snprintf(holds, sizeof holds, " %llu セクタ",
                           (unsigned long long)(size / sectorSize));
    if (size % sectorSize != 0 && at > 0)
        std::snprintf(holds + at, sizeof holds - at, "と %lu バイト",
                      (unsigned long)(size % sectorSize));
    std::snprintf(text, sizeof text, messageText(MSG_IMAGE_SIZE_DIFFERS), holds,
                  (unsigned long long)rangeSectors);
    showTextWithDetail(text, messageKind(MSG_IMAGE_SIZE_DIFFERS), nullptr);
}

// What a verify compares: the area its start names, as the save takes it,
// or from a sector of the user's own as many sectors as the image holds.
bool rangeToVerify(RestoreStart start, const ImageDrive& target, uint64_t size,
                   SectorRange& range)
{
    uint32_t sectorSize = target.space.bytesPerSector;
    SectorNumber total = target.layout.totalSectors;
    range = areaRange(areaOf(start), target.layout);
    if (start == RestoreStart::UserSpecified)
        range = {imageVerifyStart, std::max<SectorNumber>(size / sectorSize, 1)};
    if (range.count == 0 || range.count > total || range.first > total - range.count) {
        showMessage(MSG_BAD_PARAMETER, MessageKind::Error);
        return false;
    }
    if (size % sectorSize == 0 && size / sectorSize == range.count) return true;
    showSizeDiffers(size, sectorSize, range.count);
    return false;
}

// The map a save of a failing drive kept beside the image, read into `map`
// (none there: an empty map); false, with the message shown, when it is
// there but cannot be read: which sectors hold nothing would be unknown.
bool readImageMap(const ImageDrive& target, char* mapPath, RescueMap& map)
{
    mapPathOf(lastFilePath, mapPath);
    if (readMapFile(mapPath, target.space.bytesPerSector, map) != MapFileState::Unreadable)
        return true;
    showMapUnreadable(mapPath);
    return false;
}

// Before the first write at the drive's sector 0; a drive whose boot sector
// cannot be read counts as laid out otherwise.
bool mayOverwriteBootSector(const ImageDrive& target, const uint8_t* image)
{
    alignas(SECTOR_BUFFER_ALIGNMENT) uint8_t drive[IMAGE_BUFFER_SIZE];
    bool same = SectorIo::transfer(SectorOp::Read, target.source, 1, 0, drive) ==
                    SECTOR_STATUS_OK &&
                sameDriveLayout(image, drive);
    return same || askToProceed(MSG_LAYOUT_MISMATCH);
}

// Only whole chunks are written: a short read of the file, a failed write,
// a refusal or a stop ends the run after the chunks already written.
RunResult writeSectors(const ImageDrive& target, void* file, SectorNumber count)
{
    uint32_t sectorSize = target.space.bytesPerSector, chunk = runChunkSectors(sectorSize);
    RunBuffer buffer(chunk * sectorSize);
    if (buffer.bytes == nullptr) return {RunOutcome::Failed, MSG_OUT_OF_MEMORY, 0};
    RunProgress progress;
    for (SectorNumber done = 0; done < count; done += chunk) {
        showRunProgress(progress, done, count);
        uint32_t step = uint32_t(std::min<SectorNumber>(chunk, count - done));
        if (!platform.readFile(file, buffer.bytes, step * sectorSize))
            return {RunOutcome::Failed, MSG_FILE_READ_ERROR, done};
        SectorNumber sector = imageRestoreStart + done;
        if (sector == 0 && !mayOverwriteBootSector(target, buffer.bytes))
            return {RunOutcome::Refused, MSG_LAYOUT_MISMATCH, done};
        if (SectorIo::transfer(SectorOp::Write, target.source, step, sector, buffer.bytes) !=
            SECTOR_STATUS_OK)
            return {RunOutcome::Failed, MSG_SECTOR_WRITE_ERROR, done};
        if (done + step < count && !platform.continueRun())
            return {RunOutcome::Stopped, MSG_RUN_STOPPED, done + step};
    }
    return {RunOutcome::Done, MSG_DONE, count};
}

// How many sectors from `at` (counted from the image's start), `most` at
// the most, the map says alike: all read into the image, or none. What it
// says nothing of counts as read.
uint32_t alikeSectors(const RescueMap* map, SectorNumber at, uint32_t most, bool& read)
{
    read = true;
    if (map == nullptr || at >= map->count) return most;
    SectorRange next{0, 0};
    bool found = nextStretch(*map, at, MapStatus::Finished, next);
    read = found && next.first == at;
    SectorNumber end = read ? next.first + next.count : found ? next.first : map->count;
    return uint32_t(std::min<SectorNumber>(end - at, most));
}

// A sector never read holds zeros in the image and may well be unreadable
// on the drive still: it is neither read nor compared, and the sectors
// around it are read by transfers of their own.
RunResult compareChunk(const ImageDrive& target, const RescueMap* map, SectorNumber first,
                       SectorNumber done, uint32_t step, uint8_t* drive, const uint8_t* image)
{
    uint32_t sectorSize = target.space.bytesPerSector;
    for (uint32_t at = 0, length = 0; at < step; at += length) {
        bool read = true;
        length = alikeSectors(map, done + at, step - at, read);
        SectorNumber sector = first + done + at;
        uint8_t* bytes = drive + size_t(at) * sectorSize;
        if (read && SectorIo::transfer(SectorOp::Read, target.source, length, sector, bytes) !=
                        SECTOR_STATUS_OK)
            return {RunOutcome::Failed, MSG_SECTOR_UNREADABLE, done + at,
                    firstUnreadable(target, sector, length, bytes)};
        for (uint32_t k = at; read && k < at + length; k++)
            if (std::memcmp(drive + size_t(k) * sectorSize, image + size_t(k) * sectorSize,
                            sectorSize) != 0)
                return {RunOutcome::Failed, MSG_IMAGE_DIFFERS, done + k, first + done + k};
    }
    return {RunOutcome::Done, MSG_DONE, done + step, 0};
}

// Reads `count` sectors of the drive from `first` and compares them with the
// image file's next bytes, chunk by chunk, inside a run the caller holds:
// Done when all are equal; Failed naming the first sector that differs, or
// that cannot be read; Stopped by the user. The sectors `map` (null: none;
// counted from the image's start) says were never read are skipped.
RunResult compareWithImage(const ImageDrive& target, void* file, SectorNumber first,
                           SectorNumber count, const RescueMap* map)
{
    uint32_t sectorSize = target.space.bytesPerSector, chunk = runChunkSectors(sectorSize);
    RunBuffer drive(chunk * sectorSize), image(chunk * sectorSize);
    if (drive.bytes == nullptr || image.bytes == nullptr)
        return {RunOutcome::Failed, MSG_OUT_OF_MEMORY, 0, 0};
    RunProgress progress;
    for (SectorNumber done = 0; done < count; done += chunk) {
        showRunProgress(progress, done, count);
        uint32_t step = uint32_t(std::min<SectorNumber>(chunk, count - done));
        if (!platform.readFile(file, image.bytes, step * sectorSize))
            return {RunOutcome::Failed, MSG_FILE_READ_ERROR, done, first + done};
        RunResult compared = compareChunk(target, map, first, done, step, drive.bytes, image.bytes);
        if (compared.end != RunOutcome::Done) return compared;
        if (done + step < count && !platform.continueRun())
            return {RunOutcome::Stopped, MSG_RUN_STOPPED, done + step, 0};
    }
    return {RunOutcome::Done, MSG_DONE, count, 0};
}

// Drives that drop writes (failing or counterfeit flash) are the ones images
// go back onto: what was written is read back within the run and compared
// with the file, on a bar of its own, before the restore says it is done.
RunResult restoreSectors(const ImageDrive& target, void* file, SectorNumber count)
{
    if (!SectorIo::beginRun(SectorOp::Write, target.source, target.space.bytesPerSector, true))
        return {RunOutcome::Failed, MSG_SECTOR_WRITE_ERROR, 0};
    RunResult written = writeSectors(target, file, count);
    if (written.end != RunOutcome::Done) return written;
    void* again = platform.openFile(lastFilePath);
    if (again == nullptr) return {RunOutcome::Failed, MSG_FILE_OPEN_ERROR, count};
    RunResult checked = compareWithImage(target, again, imageRestoreStart, count, nullptr);
    platform.closeFile(again);
    checked.done = count;  // a check ends with every sector written
    if (checked.end == RunOutcome::Stopped) checked.message = MSG_NOT_CHECKED;
    return checked;
}

// "20,480": a byte count as people read it.
void groupDigits(uint64_t value, char* text, size_t size)
{
    char digits[24];
    int length = std::snprintf(digits, sizeof digits, "%llu", (unsigned long long)value);
    size_t at = 0;
    for (int i = 0; i < length && at + 1 < size; i++) {
        if (i > 0 && (length - i) % 3 == 0 && at + 2 < size) text[at++] = ',';
        text[at++] = digits[i];
    }
    text[at] = '\0';
}

// Every restore says what it is about to overwrite, whatever the Options
// say of single-sector writes: nothing is written unless the user says OK.
// The zeros an image holds for `unread` sectors overwrite the drive too.
bool mayOverwriteSectors(const ImageDrive& target, SectorNumber count, SectorNumber unread,
                         const char* mapPath)
{
    char drive[VOLUME_TEXT_SIZE + 16], bytes[32], question[1024];
    nameMedium(target.source, "", volumeInfo.volumeName, drive, sizeof drive);
    groupDigits(count * target.space.bytesPerSector, bytes, sizeof bytes);
    int at = std::snprintf(question, sizeof question, messageText(MSG_RESTORE_OVERWRITE), drive,
                           (unsigned long long)imageRestoreStart,
                           (unsigned long long)(imageRestoreStart + count - 1), bytes);
    if (unread > 0 && at > 0 && size_t(at) + 1 < sizeof question) {
        question[at++] = '\n';
        std::snprintf(question + at, sizeof question - at, messageText(MSG_RESTORE_UNREAD),
                      (unsigned long long)unread, mapPath);
    }
    return askToProceedWith(MSG_RESTORE_OVERWRITE, question);
}

// Which sectors a stopped or failed restore has written, so the user knows
// what the drive now holds.
void describeWritten(const RunResult& result, char* text, size_t size)
{
    if (result.done == 0) {
        std::snprintf(text, size, "%s", messageText(MSG_NOTHING_WRITTEN));
        return;
    }
    std::snprintf(text, size, messageText(MSG_SECTORS_WRITTEN),
                  (unsigned long long)imageRestoreStart,
                  (unsigned long long)(imageRestoreStart + result.done - 1));
}

void restoreImage(const char* fileText, Source source, RestoreStart start)
{
    if (!takeImageFilePath(fileText) || isImageOnDrive(lastFilePath, source)) return;
    ImageDrive target;
    if (!queryImageDrive(source, target) || !resolveStart(start, target, imageRestoreStart)) return;
    uint64_t size = 0;
    SectorNumber count = 0;
    void* file = openRunImage(size);
    if (file == nullptr) return;
    char mapPath[MAP_PATH_SIZE];
    RescueMap map;
    if (!countRestoreSectors(size, target, imageRestoreStart, count) ||
        !readImageMap(target, mapPath, map) ||
        !mayOverwriteSectors(target, count, unreadSectorsBefore(map, count), mapPath)) {
        platform.closeFile(file);
        return;
    }
    RunResult result = restoreSectors(target, file, count);
    // The file system must read what was written, not write its cache over it.
    SectorIo::endRun(true);
    platform.closeFile(file);
    char written[128];
    describeWritten(result, written, sizeof written);
    reportRunEnd(result, written);
}

// A match of only the sectors the save could read is no match of the whole:
// a warning says how many were not compared, once the bar is full.
void reportVerifyEnd(RunResult result, const SectorRange& range, SectorNumber unread,
                     const char* mapPath)
{
    if (result.end != RunOutcome::Done || unread == 0) {
        if (result.end == RunOutcome::Done)
            result = {RunOutcome::Done, MSG_IMAGE_MATCHES, range.count, range.first};
        reportRunEnd(result, nullptr);
        return;
    }
    char text[768];
    std::snprintf(text, sizeof text, messageText(MSG_IMAGE_MATCHES_EXCEPT),
                  (unsigned long long)range.first,
                  (unsigned long long)(range.first + range.count - 1),
                  (unsigned long long)(range.count - unread), (unsigned long long)unread, mapPath);
    showFinished(MSG_IMAGE_MATCHES_EXCEPT, text);
}

// Reads only: no lock, no dismount, nothing written.
void verifyImage(const char* fileText, Source source, RestoreStart start)
{
    if (!takeImageFilePath(fileText)) return;
    ImageDrive target;
    if (!queryImageDrive(source, target) || !resolveStart(start, target, imageVerifyStart)) return;
    uint64_t size = 0;
    SectorRange range;
    void* file = openRunImage(size);
    if (file == nullptr) return;
    char mapPath[MAP_PATH_SIZE];
    RescueMap map;
    if (!rangeToVerify(start, target, size, range) || !readImageMap(target, mapPath, map)) {
        platform.closeFile(file);
        return;
    }
    RunResult result{RunOutcome::Failed, MSG_SECTOR_READ_ERROR, 0, 0};
    if (SectorIo::beginRun(SectorOp::Read, target.source, target.space.bytesPerSector, false))
        result = compareWithImage(target, file, range.first, range.count, &map);
    SectorIo::endRun(false);
    platform.closeFile(file);
    reportVerifyEnd(result, range, unreadSectorsBefore(map, range.count), mapPath);
}

}  // namespace

bool sameDriveLayout(const uint8_t* imageFirstSector, const uint8_t* driveFirstSector)
{
    return std::memcmp(imageFirstSector + LAYOUT_FIRST_BYTE, driveFirstSector + LAYOUT_FIRST_BYTE,
                       LAYOUT_BYTES) == 0;
}

// The run may query another drive than the one shown: what the editor's
// commands go by is put back afterwards. A restore onto the drive shown may
// overwrite the sector shown: its edits are let go first (or the run is
// not started), and it is read afresh after, so that no write puts back
// what the disk held before.
void runImageRestore(const char* fileText, Source source, RestoreStart start)
{
    bool ontoShown = source.kind != SourceKind::None && source == editor.source;
    if (ontoShown && !askDiscardEdits()) return;
    const VolumeInfo shown = volumeInfo;
    restoreImage(fileText, source, start);
    volumeInfo = shown;
    if (!ontoShown) return;
    syncBuffers(SyncMode::Revert);
    loadSector(editor.source, editor.currentSector);
}

void runImageVerify(const char* fileText, Source source, RestoreStart start)
{
    const VolumeInfo shown = volumeInfo;
    verifyImage(fileText, source, start);
    volumeInfo = shown;
}
