#include "editor/go_to.h"

#include <cstdio>

#include "editor/cursor.h"
#include "editor/dump_view.h"
#include "editor/editor_state.h"
#include "editor/navigation.h"
#include "editor/position_text.h"
#include "editor/selection.h"
#include "platform/messages.h"

GoToChoice goToChoice = {"", GoToKind::Byte};

namespace {

// As the status bar's 位置 counts it.
uint64_t caretPosition()
{
    return editor.currentSector * editor.sectorSize + caretByte();
}

// The target as a sector and a byte in it; false where the text says no place.
bool findTarget(const char* text, GoToKind kind, SectorNumber& sector, uint32_t& offset)
{
    PositionText typed;
    uint64_t target = 0;
    bool byByte = kind == GoToKind::Byte;
    if (!parsePositionText(text, typed) ||
        !resolvePosition(typed, byByte ? caretPosition() : editor.currentSector, target))
        return false;
    sector = byByte ? target / editor.sectorSize : target;
    offset = byByte ? uint32_t(target % editor.sectorSize) : 0;
    return true;
}

void putCaretOn(uint32_t offset)
{
    clearFoundMark();
    clearSelection();
    editor.cursorLine = int32_t(offset / DUMP_BYTES_PER_LINE);
    editor.cursorColumn = int32_t(offset % DUMP_BYTES_PER_LINE);
    editor.cursorInText = 0;
    editor.cursorNibble = 0;
    placeCaret(true);
}

}  // namespace

bool goToPosition(const char* text, GoToKind kind)
{
    SectorNumber sector = 0;
    uint32_t offset = 0;
    if (editor.source.kind == SourceKind::None || !findTarget(text, kind, sector, offset)) {
        showMessage(MSG_BAD_POSITION, messageKind(MSG_BAD_POSITION));
        return false;
    }
    // A byte of the sector shown is reached by the caret alone: reading the
    // sector again would ask to let the edits go.
    if (sector != editor.currentSector && !loadSector(editor.source, sector)) return false;
    putCaretOn(offset);
    std::snprintf(goToChoice.text, sizeof goToChoice.text, "%s", text);
    goToChoice.kind = kind;
    return true;
}
