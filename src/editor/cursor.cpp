#include "editor/cursor.h"

#include <algorithm>

#include "editor/data_inspector.h"
#include "editor/dump_view.h"
#include "editor/edit_history.h"
#include "editor/editor_state.h"
#include "editor/sector_structure.h"
#include "editor/selection.h"
#include "editor/status_text.h"
#include "editor/view_scroll.h"
#include "platform/commands.h"
#include "platform/platform.h"

namespace {

constexpr int32_t CARET_WIDTH = 2;
constexpr int LAST_COLUMN = DUMP_BYTES_PER_LINE - 1;

int32_t lastLine()
{
    return editor.lineCount - 1;
}

int caretCell()
{
    if (editor.cursorInText) return DUMP_TEXT_CELL + editor.cursorColumn;
    return DUMP_HEX_CELL + 3 * editor.cursorColumn + editor.cursorNibble;
}

// Where the caret is, as one number: equal only for the same place.
int32_t caretPlace()
{
    return editor.cursorLine * DUMP_LINE_CELLS + caretCell();
}

void moveToPreviousByte()
{
    bool inHex = !editor.cursorInText;
    if (inHex && editor.cursorNibble == 1) {
        editor.cursorNibble = 0;
        return;
    }
    if (editor.cursorLine == 0 && editor.cursorColumn == 0) return;
    if (editor.cursorColumn == 0) {
        editor.cursorLine--;
        editor.cursorColumn = LAST_COLUMN;
    } else {
        editor.cursorColumn--;
    }
    if (inHex) editor.cursorNibble = 1;
}

void moveToNextByte()
{
    bool inHex = !editor.cursorInText;
    if (inHex && editor.cursorNibble == 0) {
        editor.cursorNibble = 1;
        return;
    }
    if (editor.cursorLine == lastLine() && editor.cursorColumn == LAST_COLUMN) return;
    if (editor.cursorColumn == LAST_COLUMN) {
        editor.cursorLine++;
        editor.cursorColumn = 0;
    } else {
        editor.cursorColumn++;
    }
    if (inHex) editor.cursorNibble = 0;
}

void onControlKey(int key)
{
    switch (key) {
    case KEY_LEFT:
    case KEY_BACK: editor.cursorColumn = 0; break;
    case KEY_RIGHT: editor.cursorColumn = LAST_COLUMN; break;
    case KEY_UP: editor.cursorLine = 0; break;
    case KEY_DOWN: editor.cursorLine = lastLine(); break;
    }
}

int32_t linesPerPage()
{
    return view.lineHeight > 0 ? view.clientHeight / view.lineHeight : 0;
}

void onPlainKey(int key)
{
    switch (key) {
    case KEY_LEFT:
    case KEY_BACK: moveToPreviousByte(); break;
    case KEY_RIGHT: moveToNextByte(); break;
    case KEY_UP:
        if (editor.cursorLine > 0) editor.cursorLine--;
        break;
    case KEY_DOWN:
        if (editor.cursorLine < lastLine()) editor.cursorLine++;
        break;
    case KEY_PRIOR:
        editor.cursorLine -= linesPerPage();
        if (editor.cursorLine < 0) editor.cursorLine = 0;
        break;
    case KEY_NEXT:
        editor.cursorLine += linesPerPage();
        if (editor.cursorLine > lastLine()) editor.cursorLine = lastLine();
        break;
    case KEY_HOME:
        editor.cursorLine = 0;
        editor.cursorColumn = 0;
        break;
    case KEY_END:
        editor.cursorLine = lastLine();
        editor.cursorColumn = LAST_COLUMN;
        break;
    case KEY_TAB: editor.cursorInText = !editor.cursorInText; break;
    }
}

bool isMoveKey(int key)
{
    switch (key) {
    case KEY_BACK:
    case KEY_PRIOR:
    case KEY_NEXT:
    case KEY_END:
    case KEY_HOME:
    case KEY_LEFT:
    case KEY_UP:
    case KEY_RIGHT:
    case KEY_DOWN: return true;
    }
    return false;
}

// With Shift the caret steps whole bytes in the hex column too, each key
// taking in or letting go of a byte, and stands on a byte's first digit.
void onShiftKey(int key)
{
    if (editor.cursorInText) {
        onPlainKey(key);
        return;
    }
    if (key == KEY_RIGHT) editor.cursorNibble = 1;
    if (key == KEY_LEFT || key == KEY_BACK) editor.cursorNibble = 0;
    onPlainKey(key);
    editor.cursorNibble = 0;
}

void anchorSelection()
{
    if (editor.selecting != 0) return;
    editor.selectionAnchor = int32_t(caretByte());
    editor.selecting = 1;
}

void repaintBytes(uint32_t first, uint32_t last)
{
    repaintLines(int32_t(first / DUMP_BYTES_PER_LINE), int32_t(last / DUMP_BYTES_PER_LINE));
}

void repaintSpan(ByteSpan span)
{
    if (span.length > 0) repaintBytes(span.first, span.first + span.length - 1);
}

// After the selection changed from `before`: the commands on a selection
// follow it, and only the lines whose marking changed are repainted. Mostly
// one end moves, over the lines it passed.
void showSelectionChange(ByteSpan before)
{
    ByteSpan after = selectedBytes();
    for (int id : {CMD_COPY_HEX, CMD_COPY_TEXT, CMD_COPY_C_ARRAY, CMD_FILL})
        setCommandEnabled(id, after.length > 0);
    if (after.first == before.first && after.length == before.length) return;
    if (before.length == 0 || after.length == 0) {
        repaintSpan(before);
        repaintSpan(after);
        return;
    }
    uint32_t lastBefore = before.first + before.length - 1;
    uint32_t lastAfter = after.first + after.length - 1;
    if (after.first != before.first)
        repaintBytes(std::min(before.first, after.first), std::max(before.first, after.first));
    if (lastAfter != lastBefore)
        repaintBytes(std::min(lastBefore, lastAfter), std::max(lastBefore, lastAfter));
}

// The byte cell at client pixel (x, y): false for the addresses, the space
// after a byte, and below the last line.
bool byteCellAt(int32_t x, int32_t y, CaretPlace& place)
{
    if (x + view.scrollX < 0 || y + view.scrollY < 0) return false;
    int32_t line = (y + view.scrollY) / view.lineHeight;
    int32_t cell = (x + view.scrollX) / view.charWidth;
    if (line >= editor.lineCount) return false;
    if (cell >= DUMP_TEXT_CELL && cell < DUMP_LINE_CELLS) {
        place = {line, cell - DUMP_TEXT_CELL, 1, editor.cursorNibble};
        return true;
    }
    int32_t t = cell - DUMP_HEX_CELL;
    if (t < 0 || t >= 3 * DUMP_BYTES_PER_LINE || t % 3 == 2) return false;
    place = {line, t / 3, 0, t % 3};
    return true;
}

// A hex digit replaces one half of the byte; a character the whole byte.
void typeInto(uint8_t& byte, uint8_t code)
{
    if (editor.cursorInText) {
        byte = code;
        return;
    }
    int value = hexDigitValue(code);
    byte = editor.cursorNibble == 0 ? uint8_t((byte & 0x0F) + 16 * value)
                                    : uint8_t((byte & 0xF0) + value);
}

}  // namespace

void recreateCaret()
{
    if (editor.source.kind == SourceKind::None) return;
    platform.destroyCaret();
    platform.createCaret(CARET_WIDTH, view.lineHeight - 2);
    platform.showCaret();
    placeCaret(false);
}

void placeCaret(bool scrollIntoView)
{
    if (editor.source.kind == SourceKind::None) return;
    int32_t cell = caretCell();
    int32_t line = editor.cursorLine;
    if (scrollIntoView) {
        if (line * view.lineHeight < view.scrollY) scrollToY((line - 1) * view.lineHeight);
        if ((line + 1) * view.lineHeight - view.scrollY > view.clientHeight)
            scrollToY((line + 1) * view.lineHeight - view.clientHeight);
        if (cell * view.charWidth < view.scrollX) scrollToX((cell - 1) * view.charWidth);
        if ((cell + 1) * view.charWidth - view.scrollX > view.clientWidth)
            scrollToX((cell + 1) * view.charWidth - view.clientWidth);
    }
    platform.setCaretPos(cell * view.charWidth - view.scrollX,
                         line * view.lineHeight - view.scrollY);
    // A word or double word edited at the cursor must lie inside the sector.
    bool onLastLine = line == lastLine();
    setCommandEnabled(CMD_EDIT_WORD, !(onLastLine && editor.cursorColumn > 14));
    setCommandEnabled(CMD_EDIT_DWORD, !(onLastLine && editor.cursorColumn > 12));
    showStatus();
    showStructure();
    showInspector();
}

void onKeyDown(int key)
{
    if (editor.source.kind == SourceKind::None) return;
    int32_t before = caretPlace();
    ByteSpan selected = selectedBytes();
    bool extend = isMoveKey(key) && platform.isShiftDown();
    if (extend) anchorSelection();
    if (platform.isControlDown())
        onControlKey(key);
    else if (extend)
        onShiftKey(key);
    else
        onPlainKey(key);
    if (caretPlace() != before) clearFoundMark();
    if (!isMoveKey(key)) return;
    if (!extend) editor.selecting = 0;
    showSelectionChange(selected);
}

// A key that types nothing (not a hex digit in the hex column) changes
// nothing, not even the view. The caret moves on by itself, whatever keys
// are held.
void onChar(uint8_t code)
{
    if (editor.source.kind == SourceKind::None || code < 0x20) return;
    if (!editor.cursorInText && !isHexDigit(code)) return;
    clearSelection();
    uint8_t& byte = editor.workBuffer[caretByte()];
    beginEdit();
    typeInto(byte, code);
    repaintCursorByte();
    moveToNextByte();
    endEdit();
    placeCaret(true);
}

bool onClick(int32_t x, int32_t y)
{
    if (editor.source.kind == SourceKind::None) return false;
    bool extend = platform.isShiftDown();
    if (!extend) clearSelection();
    CaretPlace place;
    if (!byteCellAt(x, y, place)) return false;
    ByteSpan selected = selectedBytes();
    if (extend) anchorSelection();
    clearFoundMark();
    editor.cursorLine = place.line;
    editor.cursorColumn = place.column;
    editor.cursorInText = place.inText;
    editor.cursorNibble = place.nibble;
    if (extend)
        showSelectionChange(selected);
    else
        editor.selectionAnchor = int32_t(caretByte());
    placeCaret(false);
    return true;
}

// The pointer may leave the view while the button is down: above the first
// line, or left of a column, counts as its first byte, and so on.
void onDrag(int32_t x, int32_t y)
{
    if (editor.source.kind == SourceKind::None) return;
    int32_t line = std::clamp(int32_t((int64_t(y) + view.scrollY) / view.lineHeight), 0,
                              lastLine());
    int32_t cell = int32_t((int64_t(x) + view.scrollX) / view.charWidth);
    int32_t column = editor.cursorInText ? cell - DUMP_TEXT_CELL : (cell - DUMP_HEX_CELL) / 3;
    column = std::clamp(column, 0, LAST_COLUMN);
    if (line == editor.cursorLine && column == editor.cursorColumn) return;
    ByteSpan selected = selectedBytes();
    editor.selecting = 1;
    editor.cursorLine = line;
    editor.cursorColumn = column;
    editor.cursorNibble = 0;
    showSelectionChange(selected);
    placeCaret(true);
}

void clearSelection()
{
    ByteSpan before = selectedBytes();
    editor.selecting = 0;
    showSelectionChange(before);
}

void selectBytes(uint32_t first, uint32_t last)
{
    ByteSpan before = selectedBytes();
    editor.selectionAnchor = int32_t(first);
    editor.selecting = 1;
    editor.cursorLine = int32_t(last / DUMP_BYTES_PER_LINE);
    editor.cursorColumn = int32_t(last % DUMP_BYTES_PER_LINE);
    editor.cursorNibble = 0;
    showSelectionChange(before);
}

void selectWholeSector()
{
    clearFoundMark();
    selectBytes(0, editor.sectorSize - 1);
    placeCaret(true);
}
