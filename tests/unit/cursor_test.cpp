#include <cstdio>
#include <cstring>

#include "app/main_commands.h"
#include "editor/selection.h"
#include "editor_fixture.h"

namespace {

class Cursor : public EditorTest {
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        ASSERT_TRUE(loadSector(driveSource(DRIVE_A), 40));  // all zero
    }
    void at(int line, int column, int inText, int nibble)
    {
        editor.cursorLine = line;
        editor.cursorColumn = column;
        editor.cursorInText = inText;
        editor.cursorNibble = nibble;
    }
    void expectAt(int line, int column, int inText, int nibble)
    {
        EXPECT_EQ(editor.cursorLine, line);
        EXPECT_EQ(editor.cursorColumn, column);
        EXPECT_EQ(editor.cursorInText, inText);
        EXPECT_EQ(editor.cursorNibble, nibble);
    }
    void key(int k, bool control = false, bool shift = false)
    {
        fake.controlDown = control;
        fake.shiftDown = shift;
        onKeyDown(k);
        fake.controlDown = false;
        fake.shiftDown = false;
    }
    void shiftClick(int32_t x, int32_t y)
    {
        fake.shiftDown = true;
        onClick(x, y);
        fake.shiftDown = false;
    }
    // The selection as "first+length", "" for none.
    std::string selection()
    {
        ByteSpan span = selectedBytes();
        if (span.length == 0) return "";
        char text[32];
        std::snprintf(text, sizeof text, "%X+%X", unsigned(span.first), unsigned(span.length));
        return text;
    }
};

// Cells are 10 pixels wide and lines 21 high.
constexpr int32_t hexX(int column)
{
    return (6 + 3 * column) * 10 + 2;
}

constexpr int32_t textX(int column)
{
    return (57 + column) * 10 + 2;
}

constexpr int32_t lineY(int line)
{
    return line * 21 + 3;
}

TEST_F(Cursor, LeftAndRightWalkDigitsAndBytesAcrossLines)
{
    at(3, 0, 0, 0);
    key(KEY_LEFT);
    expectAt(2, 15, 0, 1);
    key(KEY_LEFT);
    expectAt(2, 15, 0, 0);
    key(KEY_RIGHT);
    expectAt(2, 15, 0, 1);
    key(KEY_RIGHT);
    expectAt(3, 0, 0, 0);
    key(KEY_BACK);  // Backspace moves like Left and changes nothing
    expectAt(2, 15, 0, 1);
    EXPECT_EQ(editor.modified, 0);

    // In the character column a step is a whole byte; the digit is kept.
    at(3, 0, 1, 1);
    key(KEY_LEFT);
    expectAt(2, 15, 1, 1);
    key(KEY_RIGHT);
    key(KEY_RIGHT);
    expectAt(3, 1, 1, 1);
}

TEST_F(Cursor, TheEdgesOfTheSectorStopTheCursor)
{
    at(0, 0, 0, 0);
    key(KEY_LEFT);
    expectAt(0, 0, 0, 0);
    key(KEY_UP);
    expectAt(0, 0, 0, 0);
    at(31, 15, 0, 1);
    key(KEY_RIGHT);
    expectAt(31, 15, 0, 1);
    key(KEY_DOWN);
    expectAt(31, 15, 0, 1);
    at(0, 0, 1, 0);
    key(KEY_LEFT);
    expectAt(0, 0, 1, 0);
    at(31, 15, 1, 0);
    key(KEY_RIGHT);
    expectAt(31, 15, 1, 0);
}

TEST_F(Cursor, LineAndPageKeys)
{
    at(5, 7, 1, 1);
    key(KEY_UP);
    expectAt(4, 7, 1, 1);
    key(KEY_DOWN);
    key(KEY_DOWN);
    expectAt(6, 7, 1, 1);
    key(KEY_HOME);
    expectAt(0, 0, 1, 1);
    key(KEY_END);
    expectAt(31, 15, 1, 1);

    fake.clientHeight = 210;  // ten lines of 21 pixels
    updateScrollBars();
    at(5, 3, 0, 0);
    key(KEY_NEXT);
    expectAt(15, 3, 0, 0);
    key(KEY_NEXT);
    key(KEY_NEXT);
    expectAt(31, 3, 0, 0);
    key(KEY_PRIOR);
    expectAt(21, 3, 0, 0);
    key(KEY_PRIOR);
    key(KEY_PRIOR);
    expectAt(1, 3, 0, 0);
    key(KEY_PRIOR);
    expectAt(0, 3, 0, 0);
}

TEST_F(Cursor, TabSwitchesColumnsKeepingThePlace)
{
    at(0, 5, 0, 1);
    key(KEY_TAB);
    expectAt(0, 5, 1, 1);
    key(KEY_TAB);
    expectAt(0, 5, 0, 1);
}

TEST_F(Cursor, ControlKeys)
{
    at(9, 7, 0, 1);
    key(KEY_UP, true);
    expectAt(0, 7, 0, 1);
    key(KEY_DOWN, true);
    expectAt(31, 7, 0, 1);
    key(KEY_LEFT, true);
    expectAt(31, 0, 0, 1);
    key(KEY_RIGHT, true);
    expectAt(31, 15, 0, 1);
    key(KEY_BACK, true);
    expectAt(31, 0, 0, 1);
    for (int other : {KEY_HOME, KEY_END, KEY_NEXT, KEY_PRIOR, KEY_TAB}) key(other, true);
    expectAt(31, 0, 0, 1);
}

TEST_F(Cursor, HexDigitsReplaceOneHalfAndMoveOn)
{
    editor.workBuffer[15] = editor.savedCopy[15] = 0xFF;
    at(0, 15, 0, 0);
    onChar('4');
    EXPECT_EQ(editor.workBuffer[15], 0x4F);
    expectAt(0, 15, 0, 1);
    onChar('1');
    EXPECT_EQ(editor.workBuffer[15], 0x41);
    expectAt(1, 0, 0, 0);
    EXPECT_NE(editor.modified, 0);
    EXPECT_TRUE(isCommandEnabled(CMD_SECTOR_WRITE));

    at(2, 0, 0, 0);
    onChar('a');
    EXPECT_EQ(editor.workBuffer[32], 0xA0);
    at(2, 0, 0, 0);
    onChar('A');
    EXPECT_EQ(editor.workBuffer[32], 0xA0);
    onChar('f');
    EXPECT_EQ(editor.workBuffer[32], 0xAF);
}

TEST_F(Cursor, OtherCodesChangeNothing)
{
    at(4, 4, 0, 0);
    scrollToY(20 * view.lineHeight);  // the caret out of view, and left there
    int32_t scrolled = view.scrollY;
    ASSERT_GT(scrolled, 4 * view.lineHeight);
    onChar('g');
    onChar(0xE0);
    expectAt(4, 4, 0, 0);
    EXPECT_EQ(view.scrollY, scrolled);
    EXPECT_EQ(editor.workBuffer[68], 0);
    for (uint8_t control : {uint8_t(0x0D), uint8_t(0x09), uint8_t(0x08), uint8_t(0x1F)}) {
        at(4, 4, 1, 0);
        onChar(control);
        expectAt(4, 4, 1, 0);
        EXPECT_EQ(editor.workBuffer[68], 0);
    }
    EXPECT_EQ(editor.modified, 0);
}

TEST_F(Cursor, CharactersReplaceTheWholeByte)
{
    at(1, 14, 1, 0);
    onChar(0x82);  // a double-byte character arrives as two codes
    onChar(0xA0);
    onChar(0x7F);
    EXPECT_EQ(editor.workBuffer[30], 0x82);
    EXPECT_EQ(editor.workBuffer[31], 0xA0);
    EXPECT_EQ(editor.workBuffer[32], 0x7F);
    expectAt(2, 1, 1, 0);
}

TEST_F(Cursor, TypingAtTheLastByteStaysThere)
{
    at(31, 15, 0, 1);
    onChar('C');
    onChar('D');
    EXPECT_EQ(editor.workBuffer[511], 0x0D);
    expectAt(31, 15, 0, 1);
    at(31, 15, 1, 1);
    onChar('x');
    onChar('y');
    EXPECT_EQ(editor.workBuffer[511], 'y');
    expectAt(31, 15, 1, 1);
    EXPECT_EQ(editor.workBuffer[512], 0);
}

TEST_F(Cursor, TypingRepaintsTheByteAndFollowsWithTheCaret)
{
    settings.kanji = 0;
    at(2, 3, 0, 0);
    fake.repaintedRects.clear();
    onChar('9');
    ASSERT_EQ(fake.repaintedRects.size(), 2u);
    EXPECT_EQ(fake.repaintedRects[0].left, 15 * 10);  // cells 15, 16
    EXPECT_EQ(fake.repaintedRects[0].width, 20);
    EXPECT_EQ(fake.repaintedRects[1].left, 60 * 10);  // cell 60
    EXPECT_EQ(fake.repaintedRects[1].top, 2 * 21);
    EXPECT_EQ(fake.caretX, 16 * 10);
    EXPECT_EQ(fake.caretY, 2 * 21);
}

TEST_F(Cursor, ClicksOnEveryKindOfCell)
{
    at(0, 0, 1, 1);
    onClick(7 * 10 + 3 * 3 * 10 + 5, 4 * 21 + 2);  // cell 16: low digit of byte 3
    expectAt(4, 3, 0, 1);
    onClick(6 * 10, 0);  // cell 6: high digit of byte 0
    expectAt(0, 0, 0, 0);
    onClick(57 * 10 + 5 * 10, 21);  // cell 62: character of byte 5
    expectAt(1, 5, 1, 0);
    onClick(72 * 10 + 9, 21);  // cell 72: character of byte 15
    expectAt(1, 15, 1, 0);

    for (int cell : {8, 53, 0, 4, 5, 54, 56, 73, 100}) {
        onClick(uint16_t(cell * 10), 3 * 21);
        expectAt(1, 15, 1, 0);
    }
    onClick(6 * 10, 32 * 21);  // below the last line
    expectAt(1, 15, 1, 0);
    onClick(51 * 10, 31 * 21 + 20);  // cell 51: high digit of byte 15, last line
    expectAt(31, 15, 0, 0);
}

// Each typed digit and 編集やり直し are steps: taken back with their caret,
// done again, and forgotten once the sector is written or another loaded.
TEST_F(Cursor, UndoAndRedoGoStepByStep)
{
    at(2, 0, 0, 0);
    typeText("abc");
    revertEdits();
    EXPECT_EQ(editor.modified, 0);
    undoEdit();
    EXPECT_EQ(editor.workBuffer[32], 0xAB);
    EXPECT_EQ(editor.workBuffer[33], 0xC0);
    for (int step = 0; step < 3; step++) undoEdit();
    EXPECT_EQ(editor.modified, 0);
    expectAt(2, 0, 0, 0);
    EXPECT_FALSE(isCommandEnabled(CMD_UNDO));
    EXPECT_FALSE(isCommandEnabled(CMD_SECTOR_WRITE));
    redoEdit();
    EXPECT_EQ(editor.workBuffer[32], 0xA0);
    expectAt(2, 0, 0, 1);
    EXPECT_TRUE(isCommandEnabled(CMD_UNDO) && isCommandEnabled(CMD_REDO));
    typeText("1");  // a new step drops the steps after it
    EXPECT_FALSE(isCommandEnabled(CMD_REDO));

    // Full, the history lets its oldest steps go; the newest still undo.
    for (int step = 1; step <= 300; step++) {
        beginEdit();
        std::memset(editor.workBuffer, step, 512);
        endEdit();
    }
    int undone = 0;
    for (; isCommandEnabled(CMD_UNDO); undone++) undoEdit();
    EXPECT_EQ(undone, 256);  // a 256 KiB pool of whole-sector steps
    EXPECT_EQ(shownSector(), std::vector<uint8_t>(512, 300 - 256));

    settings.confirmSectorWrite = 0;
    writeSector();
    EXPECT_FALSE(isCommandEnabled(CMD_UNDO) || isCommandEnabled(CMD_REDO));
}

// The status bar's parts for places in every area of the floppy.
TEST_F(Cursor, TheStatusBarSaysWhereTheCaretIs)
{
    const VolumeLayout& l = editorLayout;
    struct Row {
        SectorNumber sector;
        int line, column, inText, nibble;
        const char *caret, *values, *area;
    } rows[] = {
        {0, 0, 0, 0, 0, "ｵﾌｾｯﾄ 0000 上位", nullptr, "IPL"},
        {l.reservedSectors, 0, 1, 0, 1, "ｵﾌｾｯﾄ 0001 下位", nullptr, "FAT"},
        {l.dirStart, 1, 3, 1, 0, "ｵﾌｾｯﾄ 0013 文字", nullptr, "DIR"},
        {l.dataStart, 31, 15, 0, 0, "ｵﾌｾｯﾄ 01FF 上位", "BYTE 0", "DATA ｸﾗｽﾀ 2"},
        {l.dataStart + 1, 31, 14, 0, 0, "ｵﾌｾｯﾄ 01FE 上位", "BYTE 0  WORD 0", "DATA ｸﾗｽﾀ 3"},
        {40, 31, 12, 0, 0, "ｵﾌｾｯﾄ 01FC 上位", "BYTE 0  WORD 0  DWORD 0", nullptr},
    };
    for (const Row& row : rows) {
        loadSector(driveSource(DRIVE_A), row.sector);
        at(row.line, row.column, row.inText, row.nibble);
        placeCaret(false);
        SCOPED_TRACE(row.caret);
        ASSERT_EQ(fake.status.size(), 5u);
        EXPECT_EQ(fake.status[0], row.caret);
        uint64_t position = row.sector * 512 + 16 * row.line + row.column;
        char expected[64];
        std::snprintf(expected, sizeof expected, "位置 %llXh (%llu)", (unsigned long long)position,
                      (unsigned long long)position);
        EXPECT_EQ(fake.status[1], expected);
        if (row.values != nullptr) {
            EXPECT_EQ(fake.status[2], row.values);
        }
        if (row.area != nullptr) {
            EXPECT_EQ(fake.status[3], row.area);
        }
    }
    editor.workBuffer[0] = 0x34, editor.workBuffer[1] = 0x12, editor.workBuffer[5] = 1;
    syncBuffers(SyncMode::Compare);
    at(0, 0, 0, 0);
    placeCaret(false);
    EXPECT_EQ(fake.status[2], "BYTE 52  WORD 4660  DWORD 4660");
    EXPECT_EQ(fake.status[4], "変更 3 ﾊﾞｲﾄ");
}

TEST_F(Cursor, WordAndDoubleWordNeedRoomBeforeTheSectorEnds)
{
    for (int column = 0; column < 16; column++) {
        at(31, column, 0, 0);
        placeCaret(false);
        EXPECT_EQ(isCommandEnabled(CMD_EDIT_WORD), column != 15) << column;
        EXPECT_EQ(isCommandEnabled(CMD_EDIT_DWORD), column <= 12) << column;
        at(30, column, 0, 0);
        placeCaret(false);
        EXPECT_TRUE(isCommandEnabled(CMD_EDIT_WORD));
        EXPECT_TRUE(isCommandEnabled(CMD_EDIT_DWORD));
    }
}

TEST_F(Cursor, KeysScrollTheCursorIntoView)
{
    fake.clientWidth = 300;
    fake.clientHeight = 210;
    updateScrollBars();
    at(9, 0, 0, 0);
    key(KEY_DOWN);
    placeCaret(true);
    EXPECT_EQ(view.scrollY, 11 * 21 - 210);  // the cursor line ends at the bottom edge
    at(20, 0, 0, 0);
    placeCaret(true);
    at(5, 0, 0, 0);
    placeCaret(true);
    EXPECT_EQ(view.scrollY, 4 * 21);  // one line above the cursor stays visible
    at(0, 0, 0, 0);
    placeCaret(true);
    EXPECT_EQ(view.scrollY, 0);

    at(0, 15, 1, 0);  // cell 72
    placeCaret(true);
    EXPECT_EQ(view.scrollX, 73 * 10 - 300);
    EXPECT_EQ(fake.caretX, 72 * 10 - view.scrollX);
    at(0, 0, 0, 0);  // cell 6
    placeCaret(true);
    EXPECT_EQ(view.scrollX, 50);
}

// A move key with Shift selects from the byte where the selection began to
// the caret's; a plain move lets go, Tab keeps it.
TEST_F(Cursor, ShiftMovesSelectFromWhereTheSelectionBegan)
{
    fake.clientHeight = 210;  // ten lines of 21 pixels
    updateScrollBars();
    struct Key {
        int key;
        bool control, shift;
    };
    struct Row {
        const char* what;
        int line, column, inText, nibble;  // where the caret starts
        std::vector<Key> keys;
        const char* selected;
        int caretLine, caretColumn, caretNibble;
    } rows[] = {
        {"Shift+Right takes the next byte whole", 1, 4, 0, 1, {{KEY_RIGHT, 0, 1}}, "14+2", 1, 5, 0},
        {"Shift+Left gives it back", 1, 4, 0, 0, {{KEY_RIGHT, 0, 1}, {KEY_LEFT, 0, 1}}, "14+1", 1, 4,
         0},
        {"back past the anchor", 1, 4, 0, 1, {{KEY_LEFT, 0, 1}, {KEY_BACK, 0, 1}}, "12+3", 1, 2, 0},
        {"in the character column", 1, 4, 1, 1, {{KEY_RIGHT, 0, 1}, {KEY_RIGHT, 0, 1}}, "14+3", 1, 6,
         1},
        {"Shift+Down", 1, 4, 0, 0, {{KEY_DOWN, 0, 1}}, "14+11", 2, 4, 0},
        {"Shift+Up", 1, 4, 0, 0, {{KEY_UP, 0, 1}}, "4+11", 0, 4, 0},
        {"Shift+Home", 1, 4, 0, 0, {{KEY_HOME, 0, 1}}, "0+15", 0, 0, 0},
        {"Shift+End", 1, 4, 0, 0, {{KEY_END, 0, 1}}, "14+1EC", 31, 15, 0},
        {"Shift+Page Down", 1, 4, 0, 0, {{KEY_NEXT, 0, 1}}, "14+A1", 11, 4, 0},
        {"Shift+Page Up", 20, 4, 0, 0, {{KEY_PRIOR, 0, 1}}, "A4+A1", 10, 4, 0},
        {"Ctrl+Shift+Right", 1, 4, 0, 0, {{KEY_RIGHT, 1, 1}}, "14+C", 1, 15, 0},
        {"at the sector's end, the last byte", 31, 15, 0, 0, {{KEY_RIGHT, 0, 1}}, "1FF+1", 31, 15,
         0},
        {"a plain move lets go", 1, 4, 0, 0, {{KEY_RIGHT, 0, 1}, {KEY_DOWN, 0, 0}}, "", 2, 5, 0},
        {"so does a plain Ctrl move", 1, 4, 0, 0, {{KEY_RIGHT, 0, 1}, {KEY_UP, 1, 0}}, "", 0, 5, 0},
        {"Tab keeps it", 1, 4, 0, 0, {{KEY_RIGHT, 0, 1}, {KEY_TAB, 0, 0}}, "14+2", 1, 5, 0},
        {"Shift alone selects nothing", 1, 4, 0, 0, {{0x10, 0, 1}}, "", 1, 4, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        clearSelection();
        at(row.line, row.column, row.inText, row.nibble);
        for (const Key& k : row.keys) key(k.key, k.control, k.shift);
        EXPECT_EQ(selection(), row.selected);
        EXPECT_EQ(editor.cursorLine, row.caretLine);
        EXPECT_EQ(editor.cursorColumn, row.caretColumn);
        EXPECT_EQ(editor.cursorNibble, row.caretNibble);
        bool selected = row.selected[0] != '\0';
        for (int id : {CMD_COPY_HEX, CMD_COPY_TEXT, CMD_COPY_C_ARRAY, CMD_FILL})
            EXPECT_EQ(isCommandEnabled(id), selected) << id;
    }
}

TEST_F(Cursor, TheStatusBarGivesTheSelection)
{
    at(1, 0, 0, 0);
    key(KEY_END, false, true);
    placeCaret(false);
    EXPECT_EQ(fake.status[0], "選択 0010-01FF 496 ﾊﾞｲﾄ");
    key(KEY_LEFT, true, true);
    placeCaret(false);
    EXPECT_EQ(fake.status[0], "選択 0010-01F0 481 ﾊﾞｲﾄ");
    key(KEY_UP, true, true);
    placeCaret(false);
    EXPECT_EQ(fake.status[0], "選択 0000-0010 17 ﾊﾞｲﾄ");
    key(KEY_LEFT);
    placeCaret(false);
    EXPECT_EQ(fake.status[0], "ｵﾌｾｯﾄ 0000 上位");
}

// Only the lines whose marking changes are repainted: those the moving end
// passed over.
TEST_F(Cursor, ASelectionRepaintsTheLinesItChanges)
{
    settings.kanji = 0;
    auto lines = [&] {
        std::vector<std::pair<int32_t, int32_t>> seen;  // first line, line count
        for (const PixelRect& r : fake.repaintedRects) {
            EXPECT_EQ(r.left, 0);
            EXPECT_EQ(r.width, fake.clientWidth);
            seen.push_back({r.top / 21, r.height / 21});
        }
        fake.repaintedRects.clear();
        return seen;
    };
    using Lines = std::vector<std::pair<int32_t, int32_t>>;
    at(3, 4, 0, 0);
    fake.repaintedRects.clear();
    int wholeRepaints = fake.wholeRepaints;
    key(KEY_RIGHT, false, true);
    EXPECT_EQ(lines(), (Lines{{3, 1}}));
    key(KEY_DOWN, false, true);
    EXPECT_EQ(lines(), (Lines{{3, 2}}));
    key(KEY_UP, false, true);
    key(KEY_UP, false, true);  // past the anchor: both ends move
    EXPECT_EQ(lines(), (Lines{{3, 2}, {2, 2}, {3, 1}}));
    key(KEY_DOWN);
    EXPECT_EQ(lines(), (Lines{{2, 2}}));
    key(KEY_DOWN);
    EXPECT_EQ(lines(), Lines{});
    EXPECT_EQ(fake.wholeRepaints, wholeRepaints);
}

// A press on a byte anchors a drag in its column; the pointer anywhere,
// even off the view, selects to the byte nearest it.
TEST_F(Cursor, DraggingSelectsInThePressedColumn)
{
    fake.clientWidth = 800;  // every line shows: the caret scrolls nothing
    fake.clientHeight = 700;
    updateScrollBars();
    EXPECT_TRUE(onClick(hexX(3), lineY(2)));
    EXPECT_EQ(selection(), "");
    onDrag(hexX(3) + 5, lineY(2) + 4);  // still on the pressed byte
    EXPECT_EQ(selection(), "");
    onDrag(hexX(10) + 20, lineY(4));  // the space after byte 10
    EXPECT_EQ(selection(), "23+28");
    expectAt(4, 10, 0, 0);
    onDrag(-50, -50);
    EXPECT_EQ(selection(), "0+24");
    onDrag(5000, 5000);
    EXPECT_EQ(selection(), "23+1DD");
    onDrag(hexX(3), lineY(2));  // back on the pressed byte: it alone
    EXPECT_EQ(selection(), "23+1");

    EXPECT_TRUE(onClick(textX(5), lineY(1)));  // a plain click lets go
    EXPECT_EQ(selection(), "");
    onDrag(hexX(15), lineY(3));  // left of the character column: its first byte
    EXPECT_EQ(selection(), "15+1C");
    expectAt(3, 0, 1, 0);
    shiftClick(textX(9), lineY(0));  // Shift+click moves the far end
    EXPECT_EQ(selection(), "9+D");
    shiftClick(hexX(0), lineY(5));
    EXPECT_EQ(selection(), "15+3C");
    expectAt(5, 0, 0, 0);
    EXPECT_FALSE(onClick(0, lineY(7)));  // the address: no byte, but a plain click
    EXPECT_EQ(selection(), "");
    shiftClick(hexX(2), lineY(5));  // Shift+click with none: from the caret
    EXPECT_EQ(selection(), "50+3");
}

TEST_F(Cursor, SelectAllAndWhatLetsGo)
{
    runCommand(CMD_SELECT_ALL);
    EXPECT_EQ(selection(), "0+200");
    expectAt(31, 15, 0, 0);
    EXPECT_TRUE(isCommandEnabled(CMD_COPY_HEX));
    onChar('7');  // typing
    EXPECT_EQ(selection(), "");
    EXPECT_FALSE(isCommandEnabled(CMD_FILL));
    EXPECT_EQ(editor.workBuffer[511], 0x70);
    syncBuffers(SyncMode::Revert);

    runCommand(CMD_SELECT_ALL);
    runCommand(CMD_REFRESH);
    EXPECT_EQ(selection(), "");
    runCommand(CMD_SELECT_ALL);
    runCommand(CMD_NEXT_SECTOR);
    EXPECT_EQ(selection(), "");
    EXPECT_FALSE(isCommandEnabled(CMD_COPY_TEXT));
}

TEST_F(Cursor, NothingHappensBeforeADriveIsShown)
{
    resetEditor();
    fake.caretsCreated = 0;
    onKeyDown(KEY_DOWN);
    onChar('1');
    onClick(60, 0);
    recreateCaret();
    placeCaret(true);
    expectAt(0, 0, 0, 0);
    EXPECT_EQ(editor.workBuffer[0], 0);
    EXPECT_EQ(fake.caretsCreated, 0);
}

}  // namespace
