#include "editor/cursor.h"

#include "editor/dump_view.h"
#include "editor/editor_state.h"
#include "editor/sector_structure.h"
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
}

void onKeyDown(int key)
{
    if (editor.source.kind == SourceKind::None) return;
    int32_t before = caretPlace();
    if (platform.isControlDown())
        onControlKey(key);
    else
        onPlainKey(key);
    if (caretPlace() != before) clearFoundMark();
}

// A key that types nothing (not a hex digit in the hex column) changes
// nothing, not even the view.
void onChar(uint8_t code)
{
    if (editor.source.kind == SourceKind::None || code < 0x20) return;
    if (!editor.cursorInText && !isHexDigit(code)) return;
    uint8_t& byte = editor.workBuffer[DUMP_BYTES_PER_LINE * editor.cursorLine + editor.cursorColumn];
    beginEdit();
    typeInto(byte, code);
    repaintCursorByte();
    onKeyDown(KEY_RIGHT);
    endEdit();
    placeCaret(true);
}

void onClick(uint16_t x, uint16_t y)
{
    if (editor.source.kind == SourceKind::None) return;
    int32_t line = (y + view.scrollY) / view.lineHeight;
    if (line >= editor.lineCount) return;
    int32_t cell = (x + view.scrollX) / view.charWidth;
    clearFoundMark();
    if (cell >= DUMP_TEXT_CELL && cell < DUMP_LINE_CELLS) {
        editor.cursorLine = line;
        editor.cursorColumn = cell - DUMP_TEXT_CELL;
        editor.cursorInText = 1;
    } else if (cell >= DUMP_HEX_CELL && cell <= 53) {
        int32_t t = cell - DUMP_HEX_CELL;
        if (t % 3 == 2) return;  // the space after a byte
        editor.cursorLine = line;
        editor.cursorColumn = t / 3;
        editor.cursorNibble = t % 3;
        editor.cursorInText = 0;
    }
    placeCaret(false);
}
