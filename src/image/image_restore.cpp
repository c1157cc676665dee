#include "image/image_restore.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "disk/sector_io.h"
#include "editor/editor_state.h"
#include "editor/navigation.h"
#include "image/drive_image.h"
#include "platform/files.h"
#include "platform/messages.h"
#include "platform/platform.h"

const char* const RESTORE_START_NAMES[RESTORE_START_COUNT] = {
    "先頭", "ＦＡＴ領域", "ＤＩＲ領域", "ＤＡＴＡ領域", "ユーザ指定",
};

SectorNumber imageRestoreStart = 0;
SectorNumber imageVerifyStart = 0;

namespace {

constexpr uint32_t LAYOUT_FIRST_BYTE = 11;
constexpr uint32_t LAYOUT_BYTES = 21;

// `first`: the remembered start of the restore or of the verify.
bool resolveStart(RestoreStart start, const ImageDrive& target, SectorNumber& first)
{
    const VolumeLayout& layout = target.layout;
    bool userSpecified = start == RestoreStart::UserSpecified;
    if (isAreaRefused(target, start != RestoreStart::DriveStart && !userSpecified)) return false;
    switch (start) {
    case RestoreStart::DriveStart: first = 0; break;
    case RestoreStart::Fat: first = layout.reservedSectors; break;
    case RestoreStart::Dir: first = layout.dirStart; break;
    case RestoreStart::Data: first = layout.dataStart; break;
    case RestoreStart::UserSpecified: break;
    }
    if (!userSpecified || first < layout.totalSectors) return true;
    showMessage(MSG_BAD_PARAMETER, MessageKind::Error);
    return false;
}

// The whole file in sectors, which must fit between the start and the end of
// the volume: nothing is written past it, into whatever follows on the disk.
// The length is the whole 64-bit one, so an image of 4 GiB or more is never
// cut down to its low 32 bits.
bool countImageSectors(void* file, const ImageDrive& target, SectorNumber first,
                       SectorNumber& count)
{
    uint64_t size = 0;
    if (!platform.getFileSize(file, &size)) {
        showMessage(MSG_FILE_READ_ERROR, MessageKind::Error);
        return false;
    }
    SectorNumber sectors = size / target.space.bytesPerSector;
    SectorNumber total = target.layout.totalSectors;
    SectorNumber room = total > first ? total - first : 0;
    if (sectors > room) {
        showMessage(MSG_BAD_PARAMETER, MessageKind::Error);
        return false;
    }
    count = sectors;
    return true;
}

// The image file of lastFilePath, open, with its `count` of sectors from
// `first`; null, with the message shown, when it cannot serve.
void* openImage(const ImageDrive& target, SectorNumber first, SectorNumber& count)
{
    void* file = platform.openFile(lastFilePath);
    if (file == nullptr) {
        showMessage(MSG_FILE_OPEN_ERROR, MessageKind::Error);
        return nullptr;
    }
    if (countImageSectors(file, target, first, count)) return file;
    platform.closeFile(file);
    return nullptr;
}

// Before the first write at the drive's sector 0; a drive whose boot sector
// cannot be read counts as laid out otherwise.
bool mayOverwriteBootSector(const ImageDrive& target, const uint8_t* image)
{
    alignas(SECTOR_BUFFER_ALIGNMENT) uint8_t drive[IMAGE_BUFFER_SIZE];
    bool same = SectorIo::transfer(SectorOp::Read, target.drive, 1, 0, drive) ==
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
        if (SectorIo::transfer(SectorOp::Write, target.drive, step, sector, buffer.bytes) !=
            SECTOR_STATUS_OK)
            return {RunOutcome::Failed, MSG_SECTOR_WRITE_ERROR, done};
        if (done + step < count && !platform.continueRun())
            return {RunOutcome::Stopped, MSG_RUN_STOPPED, done + step};
    }
    return {RunOutcome::Done, MSG_DONE, count};
}

// Drives that drop writes (failing or counterfeit flash) are the ones images
// go back onto: what was written is read back within the run and compared
// with the file, on a bar of its own, before the restore says it is done.
RunResult restoreSectors(const ImageDrive& target, void* file, SectorNumber count)
{
    if (!SectorIo::beginRun(SectorOp::Write, target.drive, target.space.bytesPerSector, true))
        return {RunOutcome::Failed, MSG_SECTOR_WRITE_ERROR, 0};
    RunResult written = writeSectors(target, file, count);
    if (written.end != RunOutcome::Done) return written;
    void* again = platform.openFile(lastFilePath);
    if (again == nullptr) return {RunOutcome::Failed, MSG_FILE_OPEN_ERROR, count};
    RunResult checked = compareWithImage(target, again, imageRestoreStart, count);
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
bool mayOverwriteSectors(const ImageDrive& target, SectorNumber count)
{
    char drive[VOLUME_TEXT_SIZE + 16], bytes[32], question[512];
    // 0x82 0x60 + n is the full-width capital letter n of Shift-JIS.
    int at = std::snprintf(drive, sizeof drive, "%c%cドライブ", 0x82, 0x60 + target.drive);
    if (volumeInfo.volumeName[0] != '\0')
        std::snprintf(drive + at, sizeof drive - at, "（%s）", volumeInfo.volumeName);
    groupDigits(count * target.space.bytesPerSector, bytes, sizeof bytes);
    std::snprintf(question, sizeof question, messageText(MSG_RESTORE_OVERWRITE), drive,
                  (unsigned long long)imageRestoreStart,
                  (unsigned long long)(imageRestoreStart + count - 1), bytes);
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

void restoreImage(const char* fileText, int drive, RestoreStart start)
{
    if (!takeImageFilePath(fileText) || isImageOnDrive(lastFilePath, drive)) return;
    ImageDrive target;
    if (!queryImageDrive(drive, target) || !resolveStart(start, target, imageRestoreStart)) return;
    SectorNumber count = 0;
    void* file = openImage(target, imageRestoreStart, count);
    if (file == nullptr) return;
    if (count != 0 && !mayOverwriteSectors(target, count)) {
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

// Reads only: no lock, no dismount, nothing written.
void verifyImage(const char* fileText, int drive, RestoreStart start)
{
    if (!takeImageFilePath(fileText)) return;
    ImageDrive target;
    if (!queryImageDrive(drive, target) || !resolveStart(start, target, imageVerifyStart)) return;
    SectorNumber count = 0;
    void* file = openImage(target, imageVerifyStart, count);
    if (file == nullptr) return;
    RunResult result{RunOutcome::Failed, MSG_SECTOR_READ_ERROR, 0, 0};
    if (SectorIo::beginRun(SectorOp::Read, target.drive, target.space.bytesPerSector, false))
        result = compareWithImage(target, file, imageVerifyStart, count);
    SectorIo::endRun(false);
    platform.closeFile(file);
    if (result.end == RunOutcome::Done) result.message = MSG_IMAGE_MATCHES;
    reportRunEnd(result, nullptr);
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
void runImageRestore(const char* fileText, int drive, RestoreStart start)
{
    bool ontoShown = drive >= 0 && drive == editor.currentDrive;
    if (ontoShown && !askDiscardEdits()) return;
    const VolumeInfo shown = volumeInfo;
    restoreImage(fileText, drive, start);
    volumeInfo = shown;
    if (!ontoShown) return;
    syncBuffers(SyncMode::Revert);
    loadSector(editor.currentDrive, editor.currentSector);
}

void runImageVerify(const char* fileText, int drive, RestoreStart start)
{
    const VolumeInfo shown = volumeInfo;
    verifyImage(fileText, drive, start);
    volumeInfo = shown;
}
