#pragma once
#include <cstdint>

// Where the caret was before or after an edit, so undo puts it back.
struct CaretPlace {
    int32_t line, column, inText, nibble;
};

// The steps of the shown sector's edits, each the bytes it changed as they
// were before and after, taken back (undo) and done again (redo) in order.
// A step begins before an edit touches the sector and ends after it; an
// edit that changed nothing is no step.
void beginEditStep(const uint8_t* sector, uint32_t size, const CaretPlace& caret);
void endEditStep(const uint8_t* sector, uint32_t size, const CaretPlace& caret);
// False when there is nothing to take back (or do again).
bool undoEditStep(uint8_t* sector, CaretPlace& caret);
bool redoEditStep(uint8_t* sector, CaretPlace& caret);
bool canUndoEdit();
bool canRedoEdit();
// The history ends with the sector it belongs to: another is loaded, or
// this one written.
void clearEditHistory();
