#include "app/main_commands.h"

#include "editor/byte_clipboard.h"
#include "editor/chain_steps.h"
#include "editor/cursor.h"
#include "editor/data_inspector.h"
#include "editor/display_mode.h"
#include "editor/dump_export.h"
#include "editor/editor_state.h"
#include "editor/navigation.h"
#include "editor/position_text.h"
#include "editor/sector_structure.h"
#include "editor/value_edit.h"
#include "editor/write_undo.h"
#include "editor/written_sectors.h"
#include "image/file_save.h"
#include "image/sector_file.h"
#include "platform/commands.h"
#include "platform/files.h"
#include "platform/messages.h"
#include "platform/platform.h"
#include "platform/settings.h"
#include "search/find.h"
#include "volume/drive_types.h"
#include "volume/fat_chain.h"

namespace {

bool runFontCommand(int id)
{
    int index = fontSizeOfCommand(id);
    if (index < 0) return false;
    applyFontSize(index);
    return true;
}

const FileChoice IMAGE_FILE_CHOICE = {
    FileDialog::OpenExisting,
    "Disk image files {*.img;*.ima;*.dsk;*.hdm;*.bin;*.raw}\0*.img;*.ima;*.dsk;*.hdm;*.bin;*.raw\0"
    "All files {*.*}\0*.*\0",
    "img",
};

WindowAction openValueEdit(int width)
{
    valueEdit.width = width;
    return WindowAction::ValueEditDialog;
}

// A sector, or a distance from the one shown where the chosen source is the
// one shown: from nothing of that source there is no distance to count.
bool readChoiceSector(Source source, const char* text, SectorNumber& sector)
{
    PositionText typed;
    if (!parsePositionText(text, typed)) return false;
    if (typed.sign != PositionSign::Absolute && source != editor.source) return false;
    return resolvePosition(typed, editor.currentSector, sector);
}

}  // namespace

WindowAction runCommand(int id)
{
    if (!isCommandEnabled(id)) return WindowAction::None;
    if (navigate(id) || runFontCommand(id)) return WindowAction::None;
    switch (id) {
    case CMD_SECTOR_READ: return WindowAction::ReadDialog;
    case CMD_IMAGE_SAVE: return WindowAction::ImageSaveDialog;
    case CMD_IMAGE_RESTORE: return WindowAction::ImageRestoreDialog;
    case CMD_IMAGE_VERIFY: return WindowAction::ImageVerifyDialog;
    case CMD_CHECKSUM: return WindowAction::ChecksumDialog;
    case CMD_JUMP_CLUSTER: return WindowAction::ClusterDialog;
    case CMD_ALL_DRIVES_INFO: return WindowAction::AllDrivesDialog;
    case CMD_DRIVE_INFO: return WindowAction::DriveInfoDialog;
    case CMD_PARTITION_LIST: return WindowAction::PartitionListDialog;
    case CMD_FIND: return WindowAction::FindDialog;
    // With nothing to repeat, 次を検索 asks what to find.
    case CMD_FIND_NEXT: return findRequest.asked ? WindowAction::FindRun : WindowAction::FindDialog;
    case CMD_EDIT_BYTE: return openValueEdit(1);
    case CMD_EDIT_WORD: return openValueEdit(2);
    case CMD_EDIT_DWORD: return openValueEdit(4);
    case CMD_SECTOR_WRITE: writeSector(); break;
    case CMD_SECTOR_FILE_LOAD:
        if (askDiscardEdits()) loadSectorFile();
        recreateCaret();  // the file dialog took the caret
        break;
    case CMD_OPEN_IMAGE:
        if (chooseFileOfKind(IMAGE_FILE_CHOICE)) openImageFile(lastFilePath);
        recreateCaret();
        break;
    case CMD_SECTOR_FILE_SAVE:
        saveSectorFile();
        recreateCaret();
        break;
    case CMD_DUMP_TO_FILE:
        exportDump(false);
        recreateCaret();
        break;
    case CMD_DUMP_TO_CLIPBOARD: exportDump(true); break;
    case CMD_ZERO_CLEAR: zeroClear(); break;
    case CMD_REVERT_EDITS: revertEdits(); break;
    // The caret goes back to the edit: a selection made elsewhere is let go.
    case CMD_UNDO:
        clearSelection();
        undoEdit();
        placeCaret(true);
        break;
    case CMD_REDO:
        clearSelection();
        redoEdit();
        placeCaret(true);
        break;
    case CMD_SELECT_ALL: selectWholeSector(); break;
    case CMD_COPY_HEX: copySelection(CopyForm::Hex); break;
    case CMD_COPY_TEXT: copySelection(CopyForm::Text); break;
    case CMD_COPY_C_ARRAY: copySelection(CopyForm::CArray); break;
    case CMD_PASTE_HEX: pasteHex(); break;
    case CMD_FILL: return WindowAction::FillDialog;
    case CMD_UNDO_WRITE: undoLastWrite(); break;
    case CMD_STATUS_BAR:
        settings.statusBar = settings.statusBar == 0 ? 1 : 0;
        setCommandChecked(CMD_STATUS_BAR, settings.statusBar != 0);
        return WindowAction::StatusBar;
    case CMD_STRUCTURE_VIEW: toggleStructureView(); break;
    case CMD_DATA_INSPECTOR: toggleDataInspector(); break;
    case CMD_GO_TO: return WindowAction::GoToDialog;
    case CMD_NEXT_CLUSTER: showNextCluster(); break;
    case CMD_PREV_CLUSTER: showPreviousCluster(); break;
    case CMD_SAVE_AS_FILE:
        switch (beginFileSave()) {
        case FileSaveStep::Ended: break;
        case FileSaveStep::AskFirstCharacter: return WindowAction::RecoverDialog;
        case FileSaveStep::ChooseFile: return WindowAction::FileSave;
        }
        break;
    case CMD_TOGGLE_KANJI: setKanjiMode(settings.kanji == 0 ? 1 : 0); break;
    case CMD_OPTIONS: return WindowAction::OptionsDialog;
    case CMD_ABOUT: return WindowAction::AboutDialog;
    case CMD_HELP: return WindowAction::Help;
    case CMD_EXIT: return WindowAction::Close;
    }
    return WindowAction::None;
}

void restoreSessionCommands()
{
    setCommandChecked(CMD_STATUS_BAR, settings.statusBar != 0);
    setCommandChecked(CMD_STRUCTURE_VIEW, settings.structureView != 0);
    setCommandChecked(CMD_DATA_INSPECTOR, settings.inspectorView != 0);
    loadWrittenSectors();
    updateUndoWriteCommand();
}

bool mayClose()
{
    if (editor.modified == 0) return true;
    switch (showMessage(MSG_WRITE_CHANGES, messageKind(MSG_WRITE_CHANGES))) {
    case ANSWER_YES:
        writeSector();
        return editor.modified == 0;  // written; a refused or failed write stays
    case ANSWER_NO: return true;
    default: return false;  // Cancel, or a box that could not be shown
    }
}

Source readDialogSource()
{
    DriveChoices choices = listDriveChoices(editor.source);
    if (choices.selected >= 0) return editor.source;
    return choices.count > 0 ? sourceFromChoice(choices.entries[0]) : NO_SOURCE;
}

bool acceptReadChoice(Source source, const char* sectorText)
{
    if (source.kind == SourceKind::None) {
        showMessage(MSG_NO_DRIVE, MessageKind::Warning);
        return false;
    }
    SectorNumber sector = 0;
    if (!readChoiceSector(source, sectorText, sector)) {
        showMessage(MSG_BAD_PARAMETER, MessageKind::Error);
        return false;
    }
    forgetFatScan();  // the read dialog is how another medium is read
    return loadSector(source, sector);
}
