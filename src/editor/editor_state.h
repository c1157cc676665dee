#pragma once
#include <cstdint>

#include "disk/sector_io.h"
#include "platform/files.h"
#include "volume/volume_info.h"
#include "volume/volume_window.h"

constexpr SectorNumber NO_SECTOR = UINT64_MAX;

// The one sector shown: where it is, its bytes as edited and as on the disk.
struct EditorState {
    Source source;
    SectorNumber currentSector;
    SectorNumber previousSector;  // the Back target, NO_SECTOR for none
    uint32_t sectorSize;
    int32_t lineCount;
    alignas(SECTOR_BUFFER_ALIGNMENT) uint8_t workBuffer[IMAGE_BUFFER_SIZE];
    alignas(SECTOR_BUFFER_ALIGNMENT) uint8_t savedCopy[IMAGE_BUFFER_SIZE];
    int32_t modified;  // sign of the first differing byte; only zero/nonzero counts
    int32_t cursorLine;
    int32_t cursorColumn;
    int32_t cursorInText;
    int32_t cursorNibble;
    // The bytes of the sector a search found: marked until the next edit,
    // cursor move or load. A length of 0 marks none.
    int32_t markStart;
    int32_t markLength;
    // While `selecting`, the bytes from the anchor's to the caret's, both
    // included, are selected. A click sets the anchor a drag selects from.
    int32_t selecting;
    int32_t selectionAnchor;
    // The image file behind IMAGE_FILE_SOURCE, as opened.
    char imagePath[FILE_PATH_SIZE];
};

extern EditorState editor;
// The current source's figures as of its last load: its own layout (its
// last sector), and the window the areas are read from.
extern DriveSpace editorSpace;
extern VolumeLayout editorLayout;
extern VolumeWindow editorWindow;

enum class SyncMode : int {
    Revert = -1,
    Compare = 0,
    Accept = 1,
};

// The state at start-up: no drive shown.
void resetEditor();

void writeSector();
void syncBuffers(SyncMode mode);
void clearFoundMark();
// An edit of the shown sector between these two is one step of undo.
void beginEdit();
void endEdit();
// Take back, or do again, one step; the caller places the caret.
void undoEdit();
void redoEdit();
void revertEdits();
void zeroClear();
void updateTitle();
// 書込の取り消し is there while a write of what is shown is kept.
void updateUndoWriteCommand();
bool askDiscardEdits();
