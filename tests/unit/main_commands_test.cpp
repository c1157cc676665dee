#include "app/main_commands.h"
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
    EXPECT_EQ(runCommand(CMD_OPTIONS), WindowAction::OptionsDialog);
    EXPECT_EQ(runCommand(CMD_ABOUT), WindowAction::AboutDialog);
    EXPECT_EQ(runCommand(CMD_HELP), WindowAction::Help);
    EXPECT_EQ(runCommand(CMD_EXIT), WindowAction::Close);
}

TEST_F(Commands, EditorCommandsOnceASectorIsShown)
{
    ASSERT_TRUE(acceptReadChoice(DRIVE_A, 0));
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

TEST_F(Commands, ExitAsksToDiscardAndDropsTheEdits)
{
    acceptReadChoice(DRIVE_A, 0);
    edit();
    fake.answers = {ANSWER_CANCEL};
    EXPECT_EQ(runCommand(CMD_EXIT), WindowAction::None);
    EXPECT_NE(editor.modified, 0);
    fake.answers = {ANSWER_OK};
    EXPECT_EQ(runCommand(CMD_EXIT), WindowAction::Close);
    EXPECT_EQ(editor.modified, 0);
    runShutdown();
    EXPECT_EQ(boxesOf(MSG_WRITE_CHANGES), 0);

    settings.confirmDiscardEdits = 0;
    edit();
    size_t shown = fake.boxes.size();
    EXPECT_EQ(runCommand(CMD_EXIT), WindowAction::Close);
    EXPECT_EQ(fake.boxes.size(), shown);
}

TEST_F(Commands, ShutdownSavesThenOffersToWrite)
{
    acceptReadChoice(DRIVE_A, 50);
    edit();
    fake.answers = {ANSWER_YES};
    runShutdown();
    EXPECT_EQ(fake.profileWrites.size(), 8u);
    EXPECT_EQ(fake.profile["OPTION/OPTFLAG1"], "1");  // stored before the write
    EXPECT_EQ(boxesOf(MSG_WRITE_CHANGES), 1);
    EXPECT_EQ(boxesOf(MSG_WRITE_EDITS), 0);  // written without its own question
    EXPECT_EQ(diskSector(50)[0], 0xFF);
    EXPECT_EQ(editor.modified, 0);
}

TEST_F(Commands, ShutdownWritesOnlyOnAnExactYes)
{
    for (int answer : {ANSWER_NO, 0, ANSWER_CANCEL}) {
        acceptReadChoice(DRIVE_A, 50);
        edit();
        fake.answers = {answer};
        settings.confirmDiscardEdits = 0;
        runShutdown();
        EXPECT_EQ(diskSector(50)[0], 0) << answer;
        EXPECT_EQ(settings.confirmSectorWrite, 1);
    }
}

TEST_F(Commands, ReadChoiceNeedsADriveThatLoads)
{
    EXPECT_FALSE(acceptReadChoice(-1, 0));
    EXPECT_EQ(boxesOf(MSG_NO_DRIVE), 1);
    EXPECT_EQ(fake.boxes.back().style, messageStyle(MessageKind::Warning));
    fake.driveTypes[3] = 5;
    EXPECT_FALSE(acceptReadChoice(3, 0));
    EXPECT_EQ(boxesOf(MSG_DRIVE_UNSUPPORTED), 1);
    EXPECT_TRUE(acceptReadChoice(DRIVE_A, 4294967295u));
    EXPECT_EQ(editor.currentSector, 0u);
}

}  // namespace
