#include <cstring>
#include <string>
#include <vector>

#include "app/main_commands.h"
#include "editor/byte_clipboard.h"
#include "editor/fill.h"
#include "editor/selection.h"
#include "editor_fixture.h"

// Copying selected bytes, pasting hex over the sector and filling it, on a
// sector of the floppy that holds zeros.
namespace {

class ByteClipboard : public EditorTest {
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        ASSERT_TRUE(loadSector(driveSource(DRIVE_A), 40));
        std::strcpy(fillText, "00");
    }
    void put(uint32_t at, const std::vector<uint8_t>& bytes)
    {
        std::memcpy(editor.workBuffer + at, bytes.data(), bytes.size());
        std::memcpy(editor.savedCopy + at, bytes.data(), bytes.size());
    }
    void caretOn(uint32_t byte)
    {
        editor.cursorLine = int32_t(byte / 16);
        editor.cursorColumn = int32_t(byte % 16);
    }
    std::string copied(CopyForm form)
    {
        fake.clipboard.clear();
        copySelection(form);
        return fake.clipboard;
    }
    std::vector<uint8_t> bytesAt(uint32_t at, uint32_t count)
    {
        return std::vector<uint8_t>(editor.workBuffer + at, editor.workBuffer + at + count);
    }
    int undoSteps()
    {
        int steps = 0;
        for (; isCommandEnabled(CMD_UNDO); steps++) undoEdit();
        return steps;
    }
};

TEST_F(ByteClipboard, CopiesAsHexCharactersAndACArray)
{
    // "ABC", a zero, あ, 0xFF, and 語 across the break between lines 1 and 2.
    put(0x10, {0x41, 0x42, 0x43, 0x00, 0x82, 0xA0, 0xFF});
    put(0x1F, {0x8C, 0xEA, 0x7E});
    selectBytes(0x10, 0x21);
    EXPECT_EQ(copied(CopyForm::Hex),
              "41 42 43 00 82 A0 FF 00 00 00 00 00 00 00 00 8C\r\nEA 7E");
    EXPECT_EQ(copied(CopyForm::CArray),
              "unsigned char data[18] = {\r\n"
              "    0x41, 0x42, 0x43, 0x00, 0x82, 0xA0, 0xFF, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, "
              "0x00, 0x00, 0x8C,\r\n"
              "    0xEA, 0x7E\r\n"
              "};");
    settings.kanji = 1;  // the pair the dump splits at the line break is one character here
    EXPECT_EQ(copied(CopyForm::Text), "ABC.\x82\xA0 ........\x8C\xEA~");
    settings.kanji = 0;
    EXPECT_EQ(copied(CopyForm::Text), "ABC..\xA0...........~");

    // Half a pair at either edge is a space.
    settings.kanji = 1;
    selectBytes(0x15, 0x1F);
    EXPECT_EQ(copied(CopyForm::Text), "  ........ ");
    selectBytes(0x20, 0x20);
    EXPECT_EQ(copied(CopyForm::Hex), "EA");
    EXPECT_EQ(copied(CopyForm::Text), " ");
    EXPECT_EQ(copied(CopyForm::CArray), "unsigned char data[1] = {\r\n    0xEA\r\n};");
}

// The longest copies, of a whole sector of the largest size, fit whole.
TEST_F(ByteClipboard, AWholeSectorOfTheLargestSize)
{
    editor.sectorSize = IMAGE_BUFFER_SIZE;
    editor.lineCount = IMAGE_BUFFER_SIZE / 16;
    std::memset(editor.workBuffer, 0xAB, IMAGE_BUFFER_SIZE);
    runCommand(CMD_SELECT_ALL);
    size_t lines = IMAGE_BUFFER_SIZE / 16;
    std::string array = copied(CopyForm::CArray);
    // The first line and the indent, four characters a byte, ", " within a
    // line, ",\r\n" and an indent between lines, "\r\n};" at the end.
    EXPECT_EQ(array.size(),
              35 + 4 * IMAGE_BUFFER_SIZE + 2 * (IMAGE_BUFFER_SIZE - lines) + 7 * (lines - 1) + 4);
    EXPECT_EQ(array.substr(0, 31), "unsigned char data[18432] = {\r\n");
    EXPECT_EQ(array.substr(array.size() - 14), "0xAB, 0xAB\r\n};");
    std::string hex = copied(CopyForm::Hex);
    EXPECT_EQ(hex.size(), 3 * IMAGE_BUFFER_SIZE - 1 + (lines - 1));
    EXPECT_EQ(copied(CopyForm::Text).size(), size_t(IMAGE_BUFFER_SIZE));
}

TEST_F(ByteClipboard, ACopyTheClipboardRefusesSaysSo)
{
    selectBytes(0, 3);
    fake.clipboardAnswer = ClipboardResult::Busy;  // held by another program: left as it was
    EXPECT_EQ(copied(CopyForm::Hex), "");
    EXPECT_TRUE(fake.boxes.empty());
    fake.clipboardAnswer = ClipboardResult::NoMemory;
    copied(CopyForm::Text);
    EXPECT_EQ(boxesOf(MSG_OUT_OF_MEMORY), 1);
}

TEST_F(ByteClipboard, PasteTakesHexSpacedInManyWays)
{
    const char* texts[] = {
        "41 42 43 44",     "41424344",    "41\t42\r\n43\n44",         "41,42,43,44",
        "0x41, 0x42, 0X43, 0x44", "  4142 4344 \r\n", "0x41 424344", "0x41,\r\n0x42,0x43,0x44,",
        "41 42\r\n43 44\r\n",
    };
    for (const char* text : texts) {
        SCOPED_TRACE(text);
        put(0x40, {0, 0, 0, 0, 0});
        clearSelection();
        caretOn(0x40);
        fake.clipboard = text;
        pasteHex();
        EXPECT_EQ(bytesAt(0x40, 5), (std::vector<uint8_t>{0x41, 0x42, 0x43, 0x44, 0}));
        EXPECT_TRUE(fake.boxes.empty());
    }
    fake.clipboard = "ab cD eF";
    pasteHex();
    EXPECT_EQ(bytesAt(0x40, 3), (std::vector<uint8_t>{0xAB, 0xCD, 0xEF}));
}

// Refused, nothing changes: not the sector, the history, or the selection.
TEST_F(ByteClipboard, PasteRefusesWhatIsNoHex)
{
    caretOn(0x20);
    onChar('7');  // one step to take back
    selectBytes(0x30, 0x33);
    std::string tooLong = "41" + std::string(8 * IMAGE_BUFFER_SIZE - 1, ' ');
    const std::string texts[] = {
        "",     "  \r\n", "4",   "41 4",   "414",  "0x",    "0x4142", "41-42",
        "4G",   "x41",    "41;", "41 zz",  "0x 41", "\x82\x53\x82\x50", "41 ,, 42 ?", tooLong,
    };
    for (const std::string& text : texts) {
        SCOPED_TRACE(text.substr(0, 20));
        fake.boxes.clear();
        fake.clipboard = text;
        pasteHex();
        EXPECT_EQ(boxesOf(MSG_PASTE_NOT_HEX), 1);
        EXPECT_EQ(fake.boxes.back().style, messageStyle(MessageKind::Warning));
        EXPECT_EQ(shownSector()[0x30], 0);
        EXPECT_EQ(selectedBytes().first, 0x30u);
        EXPECT_EQ(selectedBytes().length, 4u);
        EXPECT_FALSE(isCommandEnabled(CMD_REDO));
    }
    EXPECT_EQ(undoSteps(), 1);
    EXPECT_EQ(shownSector(), std::vector<uint8_t>(512, 0));

    // Exactly as long as a text may be: pasted.
    fake.boxes.clear();
    fake.clipboard = "41" + std::string(8 * IMAGE_BUFFER_SIZE - 2, ' ');
    clearSelection();
    caretOn(0x30);
    pasteHex();
    EXPECT_TRUE(fake.boxes.empty());
    EXPECT_EQ(shownSector()[0x30], 0x41);

    fake.clipboardAnswer = ClipboardResult::Busy;  // held all the while: nothing happens
    fake.clipboard = "99";
    caretOn(0x50);
    pasteHex();
    EXPECT_TRUE(fake.boxes.empty());
    EXPECT_EQ(shownSector()[0x50], 0);
}

TEST_F(ByteClipboard, PasteStopsShortOfTheSectorsEnd)
{
    caretOn(0x1FE);
    fake.clipboard = "41 42 43";
    pasteHex();
    ASSERT_EQ(fake.boxes.size(), 1u);
    EXPECT_EQ(fake.boxes[0].text,
              "貼り付ける 3 バイトは、カーソルからセクタの終わりまでの 2 バイトに収まりません。\n"
              "何も変更していません。");
    EXPECT_EQ(shownSector(), std::vector<uint8_t>(512, 0));
    EXPECT_FALSE(isCommandEnabled(CMD_UNDO));
    fake.clipboard = "41 42";
    pasteHex();
    EXPECT_EQ(bytesAt(0x1FE, 2), (std::vector<uint8_t>{0x41, 0x42}));
    EXPECT_EQ(fake.boxes.size(), 1u);
}

// A paste is one edit: the pasted bytes selected, the caret on the last,
// undone and redone whole; the disk is not written.
TEST_F(ByteClipboard, PasteIsOneStepOverTheSelectionsFirstByte)
{
    caretOn(0x30);
    fake.shiftDown = true;
    onKeyDown(KEY_DOWN);
    fake.shiftDown = false;
    fake.clipboard = "11 22 33";
    pasteHex();
    EXPECT_EQ(bytesAt(0x30, 4), (std::vector<uint8_t>{0x11, 0x22, 0x33, 0}));
    EXPECT_EQ(selectedBytes().first, 0x30u);
    EXPECT_EQ(selectedBytes().length, 3u);
    EXPECT_EQ(caretByte(), 0x32u);
    EXPECT_NE(editor.modified, 0);
    EXPECT_EQ(fake.status[0], "選択 0030-0032 3 ﾊﾞｲﾄ");
    EXPECT_EQ(fake.status[4], "変更 3 ﾊﾞｲﾄ");
    DumpRun runs[DUMP_RUNS_PER_LINE];
    layoutDumpLine(3, false, runs);
    EXPECT_TRUE(runs[1].red && runs[3].red && !runs[4].red);
    undoEdit();
    EXPECT_EQ(shownSector(), std::vector<uint8_t>(512, 0));
    EXPECT_EQ(caretByte(), 0x40u);
    redoEdit();
    EXPECT_EQ(bytesAt(0x30, 3), (std::vector<uint8_t>{0x11, 0x22, 0x33}));
    EXPECT_EQ(diskSector(40), std::vector<uint8_t>(512, 0));
}

TEST_F(ByteClipboard, FillRepeatsTheBytesOverTheSelection)
{
    selectBytes(0x10, 0x1A);
    EXPECT_TRUE(acceptFillText("de ad,0xBE EF"));
    EXPECT_EQ(bytesAt(0x0F, 13), (std::vector<uint8_t>{0, 0xDE, 0xAD, 0xBE, 0xEF, 0xDE, 0xAD, 0xBE,
                                                       0xEF, 0xDE, 0xAD, 0xBE, 0}));
    EXPECT_STREQ(fillText, "de ad,0xBE EF");  // offered again next time
    EXPECT_EQ(selectedBytes().length, 11u);   // still selected
    EXPECT_TRUE(acceptFillText("E5"));
    EXPECT_EQ(bytesAt(0x10, 11), std::vector<uint8_t>(11, 0xE5));
    EXPECT_EQ(undoSteps(), 2);
    EXPECT_EQ(shownSector(), std::vector<uint8_t>(512, 0));

    std::string longest = "00" + std::string(FILL_TEXT_SIZE - 3, ' ');
    EXPECT_TRUE(acceptFillText(longest.c_str()));
    EXPECT_EQ(fillText, longest);
    std::strcpy(fillText, "E5");
    for (std::string text : {std::string("DEA"), std::string(""), std::string("0x"),
                             std::string("E5 00h"), longest + " "}) {
        SCOPED_TRACE(text);
        fake.boxes.clear();
        EXPECT_FALSE(acceptFillText(text.c_str()));
        EXPECT_EQ(boxesOf(MSG_FILL_NOT_HEX), 1);
        EXPECT_EQ(fake.boxes[0].style, messageStyle(MessageKind::Error));
        EXPECT_STREQ(fillText, "E5");
        EXPECT_EQ(shownSector(), std::vector<uint8_t>(512, 0));
    }
    EXPECT_EQ(undoSteps(), 0);  // the fill of zeros over zeros changed nothing
}

}  // namespace
