#include "editor/editor_state.h"

#include <cstdio>
#include <cstring>

#include "app/commands.h"
#include "app/messages.h"
#include "app/platform.h"
#include "app/settings.h"
#include "editor/view_scroll.h"
#include "volume/drive_types.h"

EditorState editor;
DriveSpace editorSpace;
VolumeLayout editorLayout;

namespace {

// Enabled by the first sector shown; the menu starts with them grayed.
constexpr int FIRST_SECTOR_COMMANDS[] = {
    CMD_SECTOR_FILE_LOAD, CMD_SECTOR_FILE_SAVE, CMD_DUMP_TO_FILE,  CMD_DUMP_TO_CLIPBOARD,
    CMD_REFRESH,          CMD_ZERO_CLEAR,       CMD_EDIT_BYTE,     CMD_JUMP_LAST,
    CMD_DRIVE_INFO,       CMD_FONT_LARGEST,     CMD_FONT_LARGE,    CMD_FONT_MEDIUM,
    CMD_FONT_SMALL,       CMD_FONT_SMALLEST,    CMD_TOGGLE_KANJI,
};

// The buffers are 16-byte lines of at most IMAGE_BUFFER_SIZE bytes.
bool isShowableSectorSize(uint32_t size)
{
    return size != 0 && size % 16 == 0 && size <= IMAGE_BUFFER_SIZE;
}

void acceptLoadedSector(int drive, uint32_t sector)
{
    syncBuffers(SyncMode::Accept);
    if (editor.currentDrive == -1) {
        for (int id : FIRST_SECTOR_COMMANDS) setCommandEnabled(id, true);
        setKanjiMode(settings.kanji);
    }
    bool sameDrive = drive == editor.currentDrive;
    editor.previousSector =
        sameDrive && sector != editor.currentSector ? editor.currentSector : NO_SECTOR;
    editor.currentDrive = drive;
    editor.currentSector = sector;
    // Typed bytes must land inside a sector with fewer lines than the last one.
    if (editor.cursorLine >= editor.lineCount) editor.cursorLine = editor.lineCount - 1;

    setCommandEnabled(CMD_PREV_SECTOR, editor.currentSector != 0);
    setCommandEnabled(CMD_NEXT_SECTOR, editor.currentSector != editorLayout.totalSectors - 1);
    setCommandEnabled(CMD_BACK, editor.previousSector != NO_SECTOR);
    updateTitle();
    applyFontSize(settings.fontSize);
}

}  // namespace

void resetEditor()
{
    std::memset(&editor, 0, sizeof editor);
    editor.currentDrive = -1;
    editor.previousSector = NO_SECTOR;
    editorSpace = DriveSpace{};
    editorLayout = VolumeLayout{};
}

bool loadSector(int drive, uint32_t sector)
{
    if (!askDiscardEdits()) return false;
    if (!isSupportedDrive(drive)) {
        showMessage(MSG_DRIVE_UNSUPPORTED, MessageKind::Error);
        return false;
    }
    // Everything is read aside first: a failure leaves the editor as it was.
    DriveSpace space = editorSpace;
    if (!queryVolumeInfo(drive, space)) {
        showMessage(MSG_SECTOR_READ_ERROR, MessageKind::Error);
        return false;
    }
    if (!isShowableSectorSize(space.bytesPerSector)) {
        showMessage(MSG_DRIVE_UNSUPPORTED, MessageKind::Error);
        return false;
    }
    VolumeLayout layout;
    readVolumeLayout(drive, layout);
    if (sector >= layout.totalSectors) sector = 0;
    // A sector that could not be read is not shown as zeros: an edit written
    // back would overwrite the real sector with data that was never read.
    uint8_t sectorRead[IMAGE_BUFFER_SIZE] = {};
    if (SectorIo::transfer(SectorOp::Read, drive, 1, sector, sectorRead) != SECTOR_STATUS_OK) {
        showMessage(MSG_SECTOR_READ_ERROR, MessageKind::Error);
        return false;
    }

    editorSpace = space;
    editorLayout = layout;
    editor.sectorSize = space.bytesPerSector;
    editor.lineCount = int32_t(space.bytesPerSector >> 4);
    std::memcpy(editor.workBuffer, sectorRead, sizeof sectorRead);
    acceptLoadedSector(drive, sector);
    return true;
}

void writeSector()
{
    if (settings.confirmSectorWrite != 0 && !askToProceed(MSG_WRITE_EDITS)) return;
    if (SectorIo::transfer(SectorOp::Write, editor.currentDrive, 1, editor.currentSector,
                           editor.workBuffer) != SECTOR_STATUS_OK) {
        showMessage(MSG_SECTOR_WRITE_ERROR, MessageKind::Error);
        return;
    }
    syncBuffers(SyncMode::Accept);
    platform.invalidate(nullptr);
}

void syncBuffers(SyncMode mode)
{
    switch (mode) {
    case SyncMode::Revert:
        std::memcpy(editor.workBuffer, editor.savedCopy, editor.sectorSize);
        editor.modified = 0;
        break;
    case SyncMode::Compare: {
        // memcmp compares as unsigned bytes and gives the sign of the first difference.
        int order = std::memcmp(editor.workBuffer, editor.savedCopy, editor.sectorSize);
        editor.modified = (order > 0) - (order < 0);
        break;
    }
    case SyncMode::Accept:
        std::memcpy(editor.savedCopy, editor.workBuffer, editor.sectorSize);
        editor.modified = 0;
        break;
    }
    setCommandEnabled(CMD_SECTOR_WRITE, editor.modified != 0);
    setCommandEnabled(CMD_REVERT_EDITS, editor.modified != 0);
}

void zeroClear()
{
    if (!askDiscardEdits()) return;
    std::memset(editor.workBuffer, 0, editor.sectorSize);
    syncBuffers(SyncMode::Compare);
    platform.invalidate(nullptr);
}

void updateTitle()
{
    // 0x82 0x60 + n is the full-width capital letter n of Shift-JIS.
    char title[64];
    std::snprintf(title, sizeof title, "%s - %c%cドライブ　%uセクタ", MESSAGE_CAPTION, 0x82,
                  0x60 + editor.currentDrive, unsigned(editor.currentSector));
    platform.setWindowTitle(title);
}

bool askDiscardEdits()
{
    if (settings.confirmDiscardEdits == 0 || editor.modified == 0) return true;
    return askToProceed(MSG_DISCARD_EDITS);
}

bool navigate(int command)
{
    uint32_t target;
    switch (command) {
    case CMD_PREV_SECTOR: target = editor.currentSector - 1; break;
    case CMD_NEXT_SECTOR: target = editor.currentSector + 1; break;
    case CMD_JUMP_IPL: target = 0; break;
    case CMD_JUMP_FAT: target = editorLayout.reservedSectors; break;
    case CMD_JUMP_DIR: target = editorLayout.dirStart; break;
    case CMD_JUMP_DATA: target = editorLayout.dataStart; break;
    case CMD_JUMP_LAST: target = editorLayout.totalSectors - 1; break;
    case CMD_BACK: target = editor.previousSector; break;
    case CMD_REFRESH: target = editor.currentSector; break;
    default: return false;
    }
    loadSector(editor.currentDrive, target);
    return true;
}
