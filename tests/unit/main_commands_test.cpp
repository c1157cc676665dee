#include "app/main_commands.h"
#include "editor/selection.h"
#include "editor_fixture.h"

namespace {

class Commands : public EditorTest {
protected:
    void edit()
    {
        editor.workBuffer[0] ^= 0xFF;
        syncBuffers(SyncMode::Compare);
    }
};

TEST_F(Commands, GrayedAndUnknownCommandsAreNeverRun)
{
    for (int id : {int(CMD_NEXT_SECTOR), int(CMD_SECTOR_WRITE), int(CMD_REFRESH),
                   int(CMD_TOGGLE_KANJI), int(CMD_FONT_LARGEST), 12345})
        EXPECT_EQ(runCommand(id), WindowAction::None) << id;
    EXPECT_TRUE(fake.queriedRoots.empty());
    EXPECT_EQ(settings.kanji, 1);
    EXPECT_EQ(settings.fontSize, 2);

    EXPECT_EQ(runCommand(CMD_SECTOR_READ), WindowAction::ReadDialog);
    EXPECT_EQ(runCommand(CMD_IMAGE_SAVE), WindowAction::ImageSaveDialog);
    EXPECT_EQ(runCommand(CMD_IMAGE_RESTORE), WindowAction::ImageRestoreDialog);
    EXPECT_EQ(runCommand(CMD_IMAGE_VERIFY), WindowAction::ImageVerifyDialog);
    EXPECT_EQ(runCommand(CMD_OPTIONS), WindowAction::OptionsDialog);
    EXPECT_EQ(runCommand(CMD_ABOUT), WindowAction::AboutDialog);
    EXPECT_EQ(runCommand(CMD_HELP), WindowAction::Help);
    EXPECT_EQ(runCommand(CMD_EXIT), WindowAction::Close);
}

TEST_F(Commands, EditorCommandsOnceASectorIsShown)
{
    ASSERT_TRUE(acceptReadChoice(driveSource(DRIVE_A), "0"));
    runCommand(CMD_NEXT_SECTOR);  // the head of the FAT
    EXPECT_EQ(editor.currentSector, 1u);
    runCommand(CMD_FONT_LARGEST);
    EXPECT_EQ(settings.fontSize, 4);
    runCommand(CMD_FONT_SMALLEST);
    EXPECT_EQ(settings.fontSize, 0);
    runCommand(CMD_TOGGLE_KANJI);
    EXPECT_EQ(settings.kanji, 0);
    runCommand(CMD_TOGGLE_KANJI);
    EXPECT_EQ(settings.kanji, 1);

    edit();
    int repaints = fake.wholeRepaints;
    runCommand(CMD_REVERT_EDITS);
    EXPECT_EQ(editor.modified, 0);
    EXPECT_GT(fake.wholeRepaints, repaints);
    EXPECT_TRUE(fake.boxes.empty());
    runCommand(CMD_ZERO_CLEAR);
    EXPECT_NE(editor.modified, 0);
    fake.answers = {ANSWER_OK};
    runCommand(CMD_SECTOR_WRITE);
    EXPECT_EQ(diskSector(1), std::vector<uint8_t>(512, 0));
}

// Select all and paste once a sector is shown; the copies and fill while
// bytes are selected. Grayed, they do nothing.
TEST_F(Commands, SelectionCommandsFollowTheSelection)
{
    struct Row {
        int id;
        bool beforeASector, onASector, onASelection;
    } rows[] = {
        {CMD_SELECT_ALL, false, true, true},   {CMD_PASTE_HEX, false, true, true},
        {CMD_COPY_HEX, false, false, true},    {CMD_COPY_TEXT, false, false, true},
        {CMD_COPY_C_ARRAY, false, false, true}, {CMD_FILL, false, false, true},
    };
    fake.clipboard = "41";
    for (const Row& row : rows) {
        EXPECT_EQ(isCommandEnabled(row.id), row.beforeASector) << row.id;
        EXPECT_EQ(runCommand(row.id), WindowAction::None) << row.id;
    }
    EXPECT_EQ(fake.clipboard, "41");
    ASSERT_TRUE(acceptReadChoice(driveSource(DRIVE_A), "40"));
    for (const Row& row : rows) EXPECT_EQ(isCommandEnabled(row.id), row.onASector) << row.id;
    runCommand(CMD_SELECT_ALL);
    for (const Row& row : rows) EXPECT_EQ(isCommandEnabled(row.id), row.onASelection) << row.id;

    EXPECT_EQ(runCommand(CMD_FILL), WindowAction::FillDialog);
    EXPECT_EQ(runCommand(CMD_COPY_HEX), WindowAction::None);
    EXPECT_EQ(fake.clipboard.substr(0, 6), "00 00 ");
    runCommand(CMD_COPY_TEXT);
    EXPECT_EQ(fake.clipboard, std::string(512, '.'));
    runCommand(CMD_COPY_C_ARRAY);
    EXPECT_EQ(fake.clipboard.substr(0, 30), "unsigned char data[512] = {\r\n ");
    fake.clipboard = "E5";
    runCommand(CMD_PASTE_HEX);  // over the selection's first byte, now the selection
    EXPECT_EQ(editor.workBuffer[0], 0xE5);
    EXPECT_EQ(editor.workBuffer[1], 0);
    EXPECT_EQ(selectedBytes().length, 1u);
    runCommand(CMD_UNDO);
    EXPECT_EQ(editor.workBuffer[0], 0);
    EXPECT_EQ(selectedBytes().length, 0u);
    for (const Row& row : rows) EXPECT_EQ(isCommandEnabled(row.id), row.onASector) << row.id;
}

// Every way of closing asks one question while the window is still there:
// Yes writes (after the usual write question), No lets the edits go,
// Cancel, or a box that could not be shown, keeps the program open.
TEST_F(Commands, ClosingAsksWhetherToWriteWithAWayBack)
{
    acceptReadChoice(driveSource(DRIVE_A), "50");
    EXPECT_EQ(runCommand(CMD_EXIT), WindowAction::Close);
    EXPECT_TRUE(mayClose());  // nothing to ask
    EXPECT_TRUE(fake.boxes.empty());
    struct Case {
        std::deque<int> answers;
        bool closes;
        uint8_t written;
    } cases[] = {
        {{ANSWER_CANCEL}, false, 0},   {{0}, false, 0},
        {{ANSWER_NO}, true, 0},        {{ANSWER_YES, ANSWER_CANCEL}, false, 0},
        {{ANSWER_YES, ANSWER_OK}, true, 0xFF},
    };
    for (const Case& c : cases) {
        writeBytes(floppy, 50 * 512, {0});
        acceptReadChoice(driveSource(DRIVE_A), "50");
        edit();
        fake.boxes.clear();
        fake.answers = c.answers;
        EXPECT_EQ(mayClose(), c.closes) << c.answers.size() << ":" << c.answers.front();
        EXPECT_EQ(diskSector(50)[0], c.written) << c.answers.front();
        EXPECT_EQ(fake.boxes[0].text, messageText(MSG_WRITE_CHANGES));
        EXPECT_EQ(fake.boxes[0].style, 0x2233u);  // Yes, No, Cancel; Cancel the default
        syncBuffers(SyncMode::Revert);
    }
}

TEST_F(Commands, ReadChoiceNeedsADriveThatLoads)
{
    EXPECT_FALSE(acceptReadChoice(NO_SOURCE, "0"));
    EXPECT_EQ(boxesOf(MSG_NO_DRIVE), 1);
    EXPECT_EQ(fake.boxes.back().style, messageStyle(MessageKind::Warning));
    fake.driveTypes[3] = 5;
    EXPECT_FALSE(acceptReadChoice(driveSource(3), "0"));
    EXPECT_EQ(boxesOf(MSG_DRIVE_UNSUPPORTED), 1);
    // Past the last sector, or no number: refused, the dialog stays.
    for (const char* text : {"2880", "4294967296", "18446744073709551616", "", "12x", "1 7",
                             "0xB40", "B40h", "1F", "0x", "-1", "+0"}) {
        fake.boxes.clear();
        EXPECT_FALSE(acceptReadChoice(driveSource(DRIVE_A), text)) << text;
        EXPECT_EQ(boxesOf(MSG_BAD_PARAMETER), 1) << text;
    }
    EXPECT_EQ(editor.source, NO_SOURCE);
    EXPECT_TRUE(acceptReadChoice(driveSource(DRIVE_A), "2879"));
    EXPECT_EQ(editor.currentSector, 2879u);
}

// The number in any notation of the go to dialog; a sign counts from the
// sector shown, where the drive chosen is the one shown.
TEST_F(Commands, ReadChoiceTakesHexadecimalAndRelativeNumbers)
{
    attach(3, floppy, 512, 3);
    struct Case {
        const char* text;
        SectorNumber sector;
    } cases[] = {
        {"31", 31},   {"0x1F", 31},  {"0X1f", 31},  {"1Fh", 31},   {"1fH", 31},
        {" 7 ", 7},   {"0xB3F", 2879}, {"+10", 41}, {"-0x1F", 0},  {"+0", 31},
        {"00000000000000000000031", 31},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(acceptReadChoice(driveSource(DRIVE_A), "31"));
        fake.boxes.clear();
        EXPECT_TRUE(acceptReadChoice(driveSource(DRIVE_A), c.text)) << c.text;
        EXPECT_TRUE(fake.boxes.empty()) << c.text;
        EXPECT_EQ(editor.currentSector, c.sector) << c.text;
    }
    // Before sector 0, past the last, or from a drive not shown.
    ASSERT_TRUE(acceptReadChoice(driveSource(DRIVE_A), "31"));
    for (const char* text : {"-32", "+2849", "+18446744073709551615"}) {
        fake.boxes.clear();
        EXPECT_FALSE(acceptReadChoice(driveSource(DRIVE_A), text)) << text;
        EXPECT_EQ(boxesOf(MSG_BAD_PARAMETER), 1) << text;
        EXPECT_EQ(editor.currentSector, 31u) << text;
    }
    fake.boxes.clear();
    EXPECT_FALSE(acceptReadChoice(driveSource(3), "+1"));
    EXPECT_EQ(boxesOf(MSG_BAD_PARAMETER), 1);
    EXPECT_EQ(editor.source, driveSource(DRIVE_A));
    EXPECT_TRUE(acceptReadChoice(driveSource(3), "0x10"));
    EXPECT_EQ(editor.source, driveSource(3));
    EXPECT_EQ(editor.currentSector, 16u);
}

// The image dialogs read their sector boxes with the same parser, which
// takes no sign: a distance has no sector to count from there.
TEST(SectorNumber, AnyNotationWithoutASign)
{
    struct Case {
        const char* text;
        bool read;
        SectorNumber number;
    } cases[] = {
        {"31", true, 31},
        {"0x1F", true, 31},
        {"1Fh", true, 31},
        {"18446744073709551615", true, UINT64_MAX},
        {"4294967296", true, 4294967296},
        {"18446744073709551616", false, 0},
        {"+1", false, 0},
        {"-1", false, 0},
        {"", false, 0},
        {"1F", false, 0},
    };
    for (const Case& c : cases) {
        SectorNumber number = 99;
        EXPECT_EQ(parseSectorNumber(c.text, number), c.read) << c.text;
        EXPECT_EQ(number, c.number) << c.text;
    }
}

// The read dialog opens on a drive: the one shown, else the first listed.
TEST_F(Commands, TheReadDialogOpensOnADrive)
{
    attach(3, floppy, 512, 3);
    EXPECT_EQ(readDialogSource(), driveSource(DRIVE_A));  // nothing shown: the first listed
    fake.driveTypes[DRIVE_A] = 0;
    EXPECT_EQ(readDialogSource(), driveSource(3));
    fake.driveTypes[3] = 0;
    EXPECT_EQ(readDialogSource(), NO_SOURCE);
    fake.driveTypes[DRIVE_A] = 2;
    fake.driveTypes[3] = 3;
    ASSERT_TRUE(acceptReadChoice(driveSource(3), "0"));
    EXPECT_EQ(readDialogSource(), driveSource(3));  // the one shown
}

}  // namespace
