#include "app/main_commands.h"
#include "editor/go_to.h"
#include "editor/position_text.h"
#include "editor/selection.h"
#include "editor_fixture.h"

namespace {

TEST(PositionText, DecimalHexadecimalAndRelative)
{
    struct Case {
        const char* text;
        bool read;
        PositionSign sign;
        uint64_t value;
    } cases[] = {
        {"17408", true, PositionSign::Absolute, 17408},
        {"0", true, PositionSign::Absolute, 0},
        {"0x4400", true, PositionSign::Absolute, 0x4400},
        {"0X4400", true, PositionSign::Absolute, 0x4400},
        {"0x1f", true, PositionSign::Absolute, 31},
        {"0xaBcD", true, PositionSign::Absolute, 0xABCD},
        {"4400h", true, PositionSign::Absolute, 0x4400},
        {"1FH", true, PositionSign::Absolute, 31},
        {"1fh", true, PositionSign::Absolute, 31},
        {"0h", true, PositionSign::Absolute, 0},
        {"+512", true, PositionSign::Forward, 512},
        {"-1", true, PositionSign::Backward, 1},
        {"+0x200", true, PositionSign::Forward, 0x200},
        {"-200h", true, PositionSign::Backward, 0x200},
        {"  42\t", true, PositionSign::Absolute, 42},
        {" +7 ", true, PositionSign::Forward, 7},
        {"18446744073709551615", true, PositionSign::Absolute, UINT64_MAX},
        {"00000000000000000000031", true, PositionSign::Absolute, 31},
        {"0xFFFFFFFFFFFFFFFF", true, PositionSign::Absolute, UINT64_MAX},
        {"FFFFFFFFFFFFFFFFh", true, PositionSign::Absolute, UINT64_MAX},
        {"18446744073709551616", false, PositionSign::Absolute, 0},  // 2^64
        {"0x10000000000000000", false, PositionSign::Absolute, 0},
        {"10000000000000000h", false, PositionSign::Absolute, 0},
        {"", false, PositionSign::Absolute, 0},
        {"   ", false, PositionSign::Absolute, 0},
        {"+", false, PositionSign::Absolute, 0},
        {"0x", false, PositionSign::Absolute, 0},
        {"h", false, PositionSign::Absolute, 0},
        {"1F", false, PositionSign::Absolute, 0},  // hex needs its mark
        {"0x1Fh", false, PositionSign::Absolute, 0},
        {"12x", false, PositionSign::Absolute, 0},
        {"1 2", false, PositionSign::Absolute, 0},
        {"+ 5", false, PositionSign::Absolute, 0},
        {"--5", false, PositionSign::Absolute, 0},
        {"+-5", false, PositionSign::Absolute, 0},
        {"0xG", false, PositionSign::Absolute, 0},
        {"1.5", false, PositionSign::Absolute, 0},
        {"１２", false, PositionSign::Absolute, 0},  // full-width digits
    };
    for (const Case& c : cases) {
        PositionText position = {PositionSign::Absolute, 99};
        EXPECT_EQ(parsePositionText(c.text, position), c.read) << "[" << c.text << "]";
        if (!c.read) continue;
        EXPECT_EQ(position.sign, c.sign) << c.text;
        EXPECT_EQ(position.value, c.value) << c.text;
    }
}

TEST(PositionText, RelativePositionsStayInsideSixtyFourBits)
{
    struct Case {
        PositionSign sign;
        uint64_t value, origin;
        bool lands;
        uint64_t result;
    } cases[] = {
        {PositionSign::Absolute, 5, 100, true, 5},
        {PositionSign::Forward, 5, 100, true, 105},
        {PositionSign::Backward, 5, 100, true, 95},
        {PositionSign::Backward, 100, 100, true, 0},
        {PositionSign::Backward, 101, 100, false, 0},
        {PositionSign::Forward, 1, UINT64_MAX - 1, true, UINT64_MAX},
        {PositionSign::Forward, 2, UINT64_MAX - 1, false, 0},
    };
    for (const Case& c : cases) {
        uint64_t result = 0;
        EXPECT_EQ(resolvePosition({c.sign, c.value}, c.origin, result), c.lands) << c.value;
        if (c.lands) {
            EXPECT_EQ(result, c.result) << c.value;
        }
    }
}

// A 1.44 MB floppy: 2880 sectors of 512 bytes, 0x168000 bytes.
class GoTo : public EditorTest {
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        goToChoice = {"", GoToKind::Byte};
    }
    void caretOn(SectorNumber sector, int offset)
    {
        ASSERT_TRUE(loadSector(driveSource(DRIVE_A), sector));
        editor.cursorLine = offset / 16;
        editor.cursorColumn = offset % 16;
        editor.cursorInText = 1;
        editor.cursorNibble = 0;
    }
    int caretOffset() { return editor.cursorLine * 16 + editor.cursorColumn; }
};

TEST_F(GoTo, OnlyWhileASectorIsShown)
{
    EXPECT_EQ(runCommand(CMD_GO_TO), WindowAction::None);
    EXPECT_FALSE(goToPosition("0", GoToKind::Sector));
    EXPECT_EQ(boxesOf(MSG_BAD_POSITION), 1);
    ASSERT_TRUE(loadSector(driveSource(DRIVE_A), 0));
    EXPECT_EQ(runCommand(CMD_GO_TO), WindowAction::GoToDialog);
}

// From sector 10, caret on its byte 0x20 (byte 0x1420 of the floppy).
TEST_F(GoTo, ShowsTheSectorOfThePositionWithTheCaretOnItsByte)
{
    struct Case {
        const char* text;
        GoToKind kind;
        SectorNumber sector;
        int offset;
    } cases[] = {
        {"0x4400", GoToKind::Byte, 34, 0},
        {"4400h", GoToKind::Byte, 34, 0},
        {"17408", GoToKind::Byte, 34, 0},
        {" 0x45ff ", GoToKind::Byte, 34, 0x1FF},
        {"0x167FFF", GoToKind::Byte, 2879, 0x1FF},  // the floppy's last byte
        {"0", GoToKind::Byte, 0, 0},
        {"+0x200", GoToKind::Byte, 11, 0x20},
        {"+0x1E0", GoToKind::Byte, 11, 0},
        {"-0x21", GoToKind::Byte, 9, 0x1FF},
        {"-0x1420", GoToKind::Byte, 0, 0},
        {"+0", GoToKind::Byte, 10, 0x20},
        {"0x22", GoToKind::Sector, 34, 0},
        {"2879", GoToKind::Sector, 2879, 0},
        {"+5", GoToKind::Sector, 15, 0},
        {"-0Ah", GoToKind::Sector, 0, 0},
        {"-0", GoToKind::Sector, 10, 0},
    };
    for (const Case& c : cases) {
        caretOn(10, 0x20);
        fake.boxes.clear();
        EXPECT_TRUE(goToPosition(c.text, c.kind)) << c.text;
        EXPECT_TRUE(fake.boxes.empty()) << c.text;
        EXPECT_EQ(editor.source, driveSource(DRIVE_A));
        EXPECT_EQ(editor.currentSector, c.sector) << c.text;
        EXPECT_EQ(caretOffset(), c.offset) << c.text;
        EXPECT_EQ(editor.cursorInText, 0) << c.text;  // the byte's high digit
        EXPECT_EQ(editor.cursorNibble, 0) << c.text;
        EXPECT_EQ(shownSector(), diskSector(uint32_t(c.sector))) << c.text;
        EXPECT_EQ(std::string(goToChoice.text), c.text);
        EXPECT_EQ(goToChoice.kind, c.kind) << c.text;
    }
}

// Before the first byte, or text that is no position: the position message;
// past the last sector: the load's own refusal. Nothing moves, the dialog
// stays and offers what it offered.
TEST_F(GoTo, APlaceNotOnTheSourceIsRefused)
{
    struct Case {
        const char* text;
        GoToKind kind;
        MessageId message;
    } cases[] = {
        {"0x168000", GoToKind::Byte, MSG_BAD_PARAMETER},
        {"+0x166BE0", GoToKind::Byte, MSG_BAD_PARAMETER},  // one past the end
        {"2880", GoToKind::Sector, MSG_BAD_PARAMETER},
        {"+2870", GoToKind::Sector, MSG_BAD_PARAMETER},
        {"18446744073709551615", GoToKind::Sector, MSG_BAD_PARAMETER},
        {"-0x1421", GoToKind::Byte, MSG_BAD_POSITION},
        {"-11", GoToKind::Sector, MSG_BAD_POSITION},
        {"+18446744073709551615", GoToKind::Sector, MSG_BAD_POSITION},
        {"18446744073709551616", GoToKind::Byte, MSG_BAD_POSITION},
        {"12x", GoToKind::Byte, MSG_BAD_POSITION},
        {"", GoToKind::Sector, MSG_BAD_POSITION},
        {"1F", GoToKind::Byte, MSG_BAD_POSITION},
    };
    goToChoice = {"34", GoToKind::Sector};
    for (const Case& c : cases) {
        caretOn(10, 0x20);
        fake.boxes.clear();
        EXPECT_FALSE(goToPosition(c.text, c.kind)) << c.text;
        EXPECT_EQ(boxesOf(c.message), 1) << c.text;
        EXPECT_EQ(fake.boxes.size(), 1u) << c.text;
        EXPECT_EQ(editor.currentSector, 10u) << c.text;
        EXPECT_EQ(caretOffset(), 0x20) << c.text;
        EXPECT_EQ(editor.cursorInText, 1) << c.text;
    }
    EXPECT_EQ(std::string(goToChoice.text), "34");
    EXPECT_EQ(goToChoice.kind, GoToKind::Sector);
}

// Another sector asks whether to let the edits go, as every load does; a
// byte of the sector shown moves the caret only.
TEST_F(GoTo, EditsAreAskedAboutOnlyWhenTheSectorChanges)
{
    caretOn(10, 0);
    editor.cursorInText = 0;
    typeText("AB");
    ASSERT_NE(editor.modified, 0);
    EXPECT_TRUE(goToPosition("0x1500", GoToKind::Byte));  // sector 10's byte 0x100
    EXPECT_TRUE(fake.boxes.empty());
    EXPECT_NE(editor.modified, 0);
    EXPECT_EQ(caretOffset(), 0x100);

    fake.answers = {ANSWER_CANCEL};
    EXPECT_FALSE(goToPosition("+1", GoToKind::Sector));
    EXPECT_EQ(boxesOf(MSG_DISCARD_EDITS), 1);
    EXPECT_EQ(editor.currentSector, 10u);
    EXPECT_EQ(editor.workBuffer[0], 0xAB);

    fake.answers = {ANSWER_OK};
    EXPECT_TRUE(goToPosition("+1", GoToKind::Sector));
    EXPECT_EQ(editor.currentSector, 11u);
    EXPECT_EQ(editor.modified, 0);
}

// The caret leaves the selected bytes behind, as a click does.
TEST_F(GoTo, TheSelectionIsLetGo)
{
    caretOn(10, 0);
    selectBytes(0, 15);
    ASSERT_EQ(selectedBytes().length, 16u);
    EXPECT_TRUE(goToPosition("+0x100", GoToKind::Byte));
    EXPECT_EQ(selectedBytes().length, 0u);
    EXPECT_EQ(caretOffset(), 0x10F);  // from the caret, on the selection's last byte
}

TEST_F(GoTo, TheCaretIsScrolledIntoView)
{
    fake.clientWidth = 300;
    fake.clientHeight = 210;
    caretOn(0, 0);
    updateScrollBars();
    ASSERT_TRUE(goToPosition("0x45F8", GoToKind::Byte));  // line 31, the last
    EXPECT_GT(view.scrollY, 0);
    EXPECT_GE(fake.caretY, 0);
    EXPECT_LE(fake.caretY + view.lineHeight, fake.clientHeight);
    EXPECT_GE(fake.caretX, 0);
    EXPECT_LE(fake.caretX, fake.clientWidth);
}

}  // namespace
