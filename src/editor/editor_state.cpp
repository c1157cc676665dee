#include "editor/editor_state.h"

#include <cstdio>
#include <cstring>

#include "editor/edit_history.h"
#include "editor/written_sectors.h"
#include "platform/commands.h"
#include "platform/messages.h"
#include "platform/platform.h"
#include "platform/settings.h"
#include "volume/partition_names.h"

EditorState editor;
DriveSpace editorSpace;
VolumeLayout editorLayout;
VolumeWindow editorWindow;

void resetEditor()
{
    std::memset(&editor, 0, sizeof editor);
    editor.source = NO_SOURCE;
    editor.previousSector = NO_SECTOR;
    editorSpace = DriveSpace{};
    editorLayout = VolumeLayout{};
    editorWindow = VolumeWindow{0, -1, VolumeLayout{}, false};
    partitionTable.isDisk = false;
}

namespace {

// Anything may change a disk between the read and the write (another program,
// a swapped medium, an image restore): what the disk holds now is replaced
// by the shown sector only when it is what was read, or the user says so.
// A partition table's sector says where every volume of the disk lies:
// writing over one is asked about whatever the Options say.
bool mayWriteTableSector()
{
    TableSector kind = partitionTable.isDisk
                           ? tableSectorKind(partitionTable, editor.currentSector)
                           : TableSector::None;
    if (kind == TableSector::None) return true;
    char question[512];
    std::snprintf(question, sizeof question, messageText(MSG_TABLE_SECTOR_WRITE),
                  (unsigned long long)editor.currentSector, tableSectorPhrase(kind));
    return askToProceedWith(MSG_TABLE_SECTOR_WRITE, question);
}

bool mayReplaceDiskSector(uint8_t* onDisk)
{
    if (SectorIo::transfer(SectorOp::Read, editor.source, 1, editor.currentSector,
                           onDisk) != SECTOR_STATUS_OK) {
        showMessage(MSG_SECTOR_READ_ERROR, MessageKind::Error);
        return false;
    }
    return std::memcmp(onDisk, editor.savedCopy, editor.sectorSize) == 0 ||
           askToProceed(MSG_SECTOR_CHANGED);
}

}  // namespace

void writeSector()
{
    if (editor.source.kind == SourceKind::ImageFile && SectorIo::isImageReadOnly()) {
        showMessage(MSG_IMAGE_READ_ONLY, MessageKind::Error);
        return;
    }
    if (settings.confirmSectorWrite != 0 && !askToProceed(MSG_WRITE_EDITS)) return;
    if (!mayWriteTableSector()) return;
    alignas(SECTOR_BUFFER_ALIGNMENT) uint8_t onDisk[IMAGE_BUFFER_SIZE];
    if (!mayReplaceDiskSector(onDisk)) return;
    // What the write replaces is kept with the medium it lies on, which the
    // write itself renames when it is sector 0. A medium that cannot be
    // told keeps nothing to take back.
    MediumIdentity medium;
    bool kept = identifyMedium(editor.source,
                               editor.currentSector == 0 ? editor.workBuffer : nullptr, medium);
    if (kept)
        keepWrittenSector(editor.source, editor.currentSector, editor.sectorSize, medium,
                          onDisk, editor.workBuffer);
    if (SectorIo::transfer(SectorOp::Write, editor.source, 1, editor.currentSector,
                           editor.workBuffer) != SECTOR_STATUS_OK) {
        if (kept) forgetWrittenSector(writtenSectors.count - 1);
        showMessage(MSG_SECTOR_WRITE_ERROR, MessageKind::Error);
        return;
    }
    updateUndoWriteCommand();
    syncBuffers(SyncMode::Accept);
    platform.invalidate(nullptr);
}

void syncBuffers(SyncMode mode)
{
    clearFoundMark();
    switch (mode) {
    case SyncMode::Revert:
        std::memcpy(editor.workBuffer, editor.savedCopy, editor.sectorSize);
        editor.modified = 0;
        clearEditHistory();
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
        clearEditHistory();
        break;
    }
    setCommandEnabled(CMD_SECTOR_WRITE, editor.modified != 0);
    setCommandEnabled(CMD_REVERT_EDITS, editor.modified != 0);
    setCommandEnabled(CMD_UNDO, canUndoEdit());
    setCommandEnabled(CMD_REDO, canRedoEdit());
}

namespace {

CaretPlace caretPlace()
{
    return {editor.cursorLine, editor.cursorColumn, editor.cursorInText, editor.cursorNibble};
}

// One step of the history taken back or done again, as `step` does, with its caret.
void applyEditStep(bool (*step)(uint8_t* sector, CaretPlace& caret))
{
    CaretPlace caret;
    if (!step(editor.workBuffer, caret)) return;
    editor.cursorLine = caret.line;
    editor.cursorColumn = caret.column;
    editor.cursorInText = caret.inText;
    editor.cursorNibble = caret.nibble;
    syncBuffers(SyncMode::Compare);
    platform.invalidate(nullptr);
}

}  // namespace

void beginEdit()
{
    beginEditStep(editor.workBuffer, editor.sectorSize, caretPlace());
}

void endEdit()
{
    endEditStep(editor.workBuffer, editor.sectorSize, caretPlace());
    syncBuffers(SyncMode::Compare);
}

void undoEdit()
{
    applyEditStep(undoEditStep);
}

void redoEdit()
{
    applyEditStep(redoEditStep);
}

// 編集やり直し is one step too: a revert by mistake can be taken back.
void revertEdits()
{
    beginEdit();
    std::memcpy(editor.workBuffer, editor.savedCopy, editor.sectorSize);
    endEdit();
    platform.invalidate(nullptr);
}

void clearFoundMark()
{
    if (editor.markLength == 0) return;
    editor.markLength = 0;
    platform.invalidate(nullptr);
}

void zeroClear()
{
    if (!askDiscardEdits()) return;
    beginEdit();
    std::memset(editor.workBuffer, 0, editor.sectorSize);
    endEdit();
    platform.invalidate(nullptr);
}

void updateTitle()
{
    char source[FILE_PATH_SIZE], partition[32] = "";
    nameMedium(editor.source, fileNameOf(editor.imagePath), nullptr, source, sizeof source);
    if (editorWindow.partition >= 0)
        std::snprintf(partition, sizeof partition, "パーティション%d　",
                      int(partitionTable.entries[editorWindow.partition].number));
    char title[FILE_PATH_SIZE + 64];
    std::snprintf(title, sizeof title, "%s - %s　%s%lluセクタ", MESSAGE_CAPTION, source, partition,
                  (unsigned long long)editor.currentSector);
    platform.setWindowTitle(title);
}

void updateUndoWriteCommand()
{
    setCommandEnabled(CMD_UNDO_WRITE, newestWriteOf(editor.source, editor.imagePath) >= 0);
}

bool askDiscardEdits()
{
    if (settings.confirmDiscardEdits == 0 || editor.modified == 0) return true;
    return askToProceed(MSG_DISCARD_EDITS);
}
