#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>

#include "app/main_commands.h"
#include "editor/write_undo.h"

#include "editor_fixture.h"

namespace {

const int FIRST_SECTOR_COMMANDS[] = {
    CMD_SECTOR_FILE_LOAD, CMD_SECTOR_FILE_SAVE, CMD_DUMP_TO_FILE,  CMD_DUMP_TO_CLIPBOARD,
    CMD_REFRESH,          CMD_ZERO_CLEAR,       CMD_EDIT_BYTE,     CMD_JUMP_LAST,
    CMD_DRIVE_INFO,       CMD_FONT_LARGEST,     CMD_FONT_LARGE,    CMD_FONT_MEDIUM,
    CMD_FONT_SMALL,       CMD_FONT_SMALLEST,    CMD_TOGGLE_KANJI,  CMD_FIND,
    CMD_FIND_NEXT,
};

using Editor = EditorTest;

TEST_F(Editor, FirstLoadShowsTheSectorAndEnablesTheSectorCommands)
{
    for (int id : FIRST_SECTOR_COMMANDS) ASSERT_FALSE(isCommandEnabled(id)) << id;
    ASSERT_TRUE(loadSector(driveSource(DRIVE_A), 0));
    EXPECT_EQ(shownSector(), diskSector(0));
    EXPECT_EQ(editor.sectorSize, 512u);
    EXPECT_EQ(editor.lineCount, 32);
    EXPECT_EQ(editor.modified, 0);
    // "Veldis - Ａドライブ　0セクタ"
    EXPECT_EQ(fake.title, "Veldis - \x82\x60\x83\x68\x83\x89\x83\x43\x83\x75\x81\x40"
                          "0\x83\x5A\x83\x4E\x83\x5E");
    for (int id : FIRST_SECTOR_COMMANDS) EXPECT_TRUE(isCommandEnabled(id)) << id;
    EXPECT_TRUE(isCommandChecked(CMD_TOGGLE_KANJI));
    EXPECT_TRUE(isCommandChecked(CMD_FONT_MEDIUM));
    EXPECT_FALSE(isCommandEnabled(CMD_BACK));
    EXPECT_FALSE(isCommandEnabled(CMD_PREV_SECTOR));
    EXPECT_TRUE(isCommandEnabled(CMD_NEXT_SECTOR));
    EXPECT_FALSE(isCommandEnabled(CMD_SECTOR_WRITE));
    EXPECT_FALSE(isCommandEnabled(CMD_REVERT_EDITS));
    EXPECT_EQ(fake.caretHeight, 19);
}

TEST_F(Editor, TitleNamesTheDriveAsAFullWidthLetter)
{
    std::string z = makeFatImage(dir, "z.img", {12, 512, 1440, 1, 1, 2, 224});
    attach(25, z, 512, 6);
    ASSERT_TRUE(loadSector(driveSource(25), 2879));
    EXPECT_EQ(fake.title, "Veldis - \x82\x79\x83\x68\x83\x89\x83\x43\x83\x75\x81\x40"
                          "2879\x83\x5A\x83\x4E\x83\x5E");
    editor.currentSector = 0xFFFFFFFF;  // sectors past 2^31 stay positive
    updateTitle();
    EXPECT_NE(fake.title.find("4294967295"), std::string::npos);
}

TEST_F(Editor, NavigationLandsWhereTheLayoutSays)
{
    ASSERT_TRUE(loadSector(driveSource(DRIVE_A), 0));
    struct Step {
        int command;
        uint32_t sector;
    } steps[] = {{CMD_NEXT_SECTOR, 1}, {CMD_NEXT_SECTOR, 2}, {CMD_PREV_SECTOR, 1},
                 {CMD_JUMP_DIR, 19},   {CMD_JUMP_DATA, 33},  {CMD_JUMP_FAT, 1},
                 {CMD_JUMP_LAST, 2879}, {CMD_JUMP_IPL, 0},   {CMD_BACK, 2879},
                 {CMD_BACK, 0},        {CMD_REFRESH, 0}};
    for (const Step& step : steps) {
        EXPECT_TRUE(navigate(step.command));
        EXPECT_EQ(editor.currentSector, step.sector) << step.command;
        EXPECT_EQ(shownSector(), diskSector(step.sector)) << step.command;
    }
    EXPECT_FALSE(navigate(CMD_ABOUT));
}

TEST_F(Editor, BackSwapsAndRefreshOrAnotherDriveClearsIt)
{
    loadSector(driveSource(DRIVE_A), 5);
    loadSector(driveSource(DRIVE_A), 9);
    EXPECT_TRUE(isCommandEnabled(CMD_BACK));
    navigate(CMD_BACK);
    EXPECT_EQ(editor.currentSector, 5u);
    navigate(CMD_BACK);
    EXPECT_EQ(editor.currentSector, 9u);
    navigate(CMD_REFRESH);
    EXPECT_EQ(editor.previousSector, NO_SECTOR);
    EXPECT_FALSE(isCommandEnabled(CMD_BACK));

    loadSector(driveSource(DRIVE_A), 4);
    attachLargeSectorDrive();
    loadSector(driveSource(DRIVE_C), 4);
    EXPECT_EQ(editor.previousSector, NO_SECTOR);
}

// A sector past the last is refused with a message, whatever asked for it,
// and the sector shown stays.
TEST_F(Editor, SectorsBeyondTheVolumeAreRefused)
{
    loadSector(driveSource(DRIVE_A), 2879);
    EXPECT_FALSE(isCommandEnabled(CMD_NEXT_SECTOR));
    EXPECT_TRUE(isCommandEnabled(CMD_PREV_SECTOR));
    for (SectorNumber sector : {SectorNumber(2880), SectorNumber(4000000000u), SectorNumber(1) << 40, NO_SECTOR - 1}) {
        EXPECT_FALSE(loadSector(driveSource(DRIVE_A), sector)) << sector;
        EXPECT_EQ(editor.currentSector, 2879u);
    }
    EXPECT_EQ(boxesOf(MSG_BAD_PARAMETER), 4);
    loadSector(driveSource(DRIVE_A), 0);
    navigate(CMD_PREV_SECTOR);  // 0 - 1 wraps to no sector of the volume
    EXPECT_EQ(editor.currentSector, 0u);
    EXPECT_EQ(boxesOf(MSG_BAD_PARAMETER), 5);
}

TEST_F(Editor, TypingBackTheOldValueIsNoLongerAnEdit)
{
    loadSector(driveSource(DRIVE_A), 0);
    uint8_t old = editor.workBuffer[0];
    editor.workBuffer[0] = uint8_t(old + 1);
    syncBuffers(SyncMode::Compare);
    EXPECT_EQ(editor.modified, 1);
    EXPECT_TRUE(isCommandEnabled(CMD_SECTOR_WRITE));
    EXPECT_TRUE(isCommandEnabled(CMD_REVERT_EDITS));
    editor.workBuffer[0] = uint8_t(old - 1);
    syncBuffers(SyncMode::Compare);
    EXPECT_EQ(editor.modified, -1);
    editor.workBuffer[0] = old;
    syncBuffers(SyncMode::Compare);
    EXPECT_EQ(editor.modified, 0);
    EXPECT_FALSE(isCommandEnabled(CMD_SECTOR_WRITE));

    editor.workBuffer[511] ^= 0x80;  // the comparison is unsigned
    syncBuffers(SyncMode::Compare);
    EXPECT_EQ(editor.modified, editor.savedCopy[511] < 0x80 ? 1 : -1);
    editor.workBuffer[512] ^= 0xFF;  // past the sector: not part of it
    syncBuffers(SyncMode::Revert);
    EXPECT_EQ(shownSector(), diskSector(0));
    EXPECT_EQ(editor.modified, 0);
}

TEST_F(Editor, ZeroClearOfAnEmptySectorIsNoEdit)
{
    loadSector(driveSource(DRIVE_A), 40);  // an unused data sector
    ASSERT_EQ(diskSector(40), std::vector<uint8_t>(512, 0));
    zeroClear();
    EXPECT_EQ(editor.modified, 0);
    loadSector(driveSource(DRIVE_A), 0);
    zeroClear();
    EXPECT_NE(editor.modified, 0);
    EXPECT_EQ(shownSector(), std::vector<uint8_t>(512, 0));
    EXPECT_TRUE(fake.boxes.empty());  // no edits before it: nothing to ask
}

TEST_F(Editor, DiscardQuestionByOptionAndAnswer)
{
    loadSector(driveSource(DRIVE_A), 0);
    // No edits: nothing to ask.
    loadSector(driveSource(DRIVE_A), 1);
    EXPECT_TRUE(fake.boxes.empty());

    editor.workBuffer[3] ^= 1;
    syncBuffers(SyncMode::Compare);
    EditorState before = editor;
    fake.answers = {ANSWER_CANCEL};
    EXPECT_FALSE(loadSector(driveSource(DRIVE_A), 7));
    EXPECT_EQ(std::memcmp(&before, &editor, sizeof editor), 0);
    EXPECT_EQ(boxesOf(MSG_DISCARD_EDITS), 1);
    EXPECT_EQ(fake.boxes.back().style, messageStyle(MessageKind::ConfirmOkCancel));

    fake.answers = {ANSWER_CANCEL};  // 0-clear asks the same question
    zeroClear();
    EXPECT_EQ(std::memcmp(&before, &editor, sizeof editor), 0);

    fake.answers = {ANSWER_OK};
    EXPECT_TRUE(loadSector(driveSource(DRIVE_A), 7));
    EXPECT_EQ(editor.modified, 0);

    // Option off: the edits go without a word.
    settings.confirmDiscardEdits = 0;
    editor.workBuffer[3] ^= 1;
    syncBuffers(SyncMode::Compare);
    size_t shown = fake.boxes.size();
    EXPECT_TRUE(loadSector(driveSource(DRIVE_A), 8));
    EXPECT_EQ(fake.boxes.size(), shown);
    EXPECT_EQ(shownSector(), diskSector(8));
}

TEST_F(Editor, AFailedMoveStillAsksFirst)
{
    loadSector(driveSource(DRIVE_A), 0);
    editor.workBuffer[0] ^= 1;
    syncBuffers(SyncMode::Compare);
    fake.answers = {ANSWER_OK};
    EXPECT_FALSE(loadSector(driveSource(5), 0));  // no drive F:
    EXPECT_EQ(boxesOf(MSG_DISCARD_EDITS), 1);
    EXPECT_EQ(boxesOf(MSG_DRIVE_UNSUPPORTED), 1);
    EXPECT_NE(editor.modified, 0);  // the edits are still there
}

TEST_F(Editor, WriteAsksThenWritesOrKeepsTheEdits)
{
    std::vector<uint8_t> before = diskSector(40);
    loadSector(driveSource(DRIVE_A), 40);
    editor.workBuffer[10] = 0x5A;
    syncBuffers(SyncMode::Compare);

    fake.answers = {ANSWER_CANCEL};
    writeSector();
    EXPECT_EQ(diskSector(40), before);
    EXPECT_NE(editor.modified, 0);
    EXPECT_EQ(boxesOf(MSG_WRITE_EDITS), 1);

    fake.answers = {ANSWER_OK};
    writeSector();
    EXPECT_EQ(diskSector(40), shownSector());
    EXPECT_EQ(diskSector(40)[10], 0x5A);
    EXPECT_EQ(editor.modified, 0);
    EXPECT_FALSE(isCommandEnabled(CMD_SECTOR_WRITE));
    EXPECT_EQ(std::memcmp(editor.savedCopy, editor.workBuffer, 512), 0);

    settings.confirmSectorWrite = 0;
    editor.workBuffer[11] = 0xA5;
    syncBuffers(SyncMode::Compare);
    size_t shown = fake.boxes.size();
    writeSector();
    EXPECT_EQ(fake.boxes.size(), shown);
    EXPECT_EQ(diskSector(40)[11], 0xA5);

    // Changed on the disk since it was read: asked again; only OK replaces it.
    editor.workBuffer[12] = 0x3C;
    syncBuffers(SyncMode::Compare);
    std::vector<uint8_t> elsewhere(512, 0xEE);
    writeBytes(floppy, 40 * 512, elsewhere);
    for (int answer : {ANSWER_CANCEL, 0}) {
        fake.answers = {answer};
        writeSector();
        EXPECT_EQ(diskSector(40), elsewhere) << answer;
        EXPECT_EQ(editor.workBuffer[12], 0x3C);
    }
    EXPECT_EQ(boxesOf(MSG_SECTOR_CHANGED), 2);
    fake.answers = {ANSWER_OK};
    writeSector();
    EXPECT_EQ(diskSector(40), shownSector());

    // Unreadable just before the write: nothing is written over it unseen.
    editor.workBuffer[13] = 0x4D;
    syncBuffers(SyncMode::Compare);
    ImageRoute::failSector(DRIVE_A, SectorOp::Read, 40);
    writeSector();
    EXPECT_EQ(boxesOf(MSG_SECTOR_READ_ERROR), 1);
    EXPECT_NE(diskSector(40)[13], 0x4D);
    EXPECT_NE(editor.modified, 0);
}

TEST_F(Editor, AFailedWriteKeepsTheEditsAndWriteEnabled)
{
    loadSector(driveSource(DRIVE_A), 40);
    editor.workBuffer[0] = 0x77;
    syncBuffers(SyncMode::Compare);
    ImageRoute::failSector(DRIVE_A, SectorOp::Write, 40);
    fake.answers = {ANSWER_OK};
    writeSector();
    EXPECT_EQ(boxesOf(MSG_SECTOR_WRITE_ERROR), 1);
    EXPECT_EQ(fake.boxes.back().style, messageStyle(MessageKind::Error));
    EXPECT_NE(editor.modified, 0);
    EXPECT_EQ(editor.workBuffer[0], 0x77);
    EXPECT_NE(editor.savedCopy[0], 0x77);
    EXPECT_TRUE(isCommandEnabled(CMD_SECTOR_WRITE));
    EXPECT_EQ(diskSector(40)[0], 0);
    EXPECT_EQ(writtenSectors.count, 0);  // nothing written: nothing to take back
}

// What a write replaced is kept in a file beside the INI file, and goes back
// only while the sector holds exactly what was written.
TEST_F(Editor, AWriteIsTakenBackOnlyWhileTheSectorHoldsIt)
{
    fake.modulePath = dir.path + "/VELDIS.EXE";
    loadSettings();
    settings.confirmSectorWrite = 0;
    std::vector<uint8_t> before = diskSector(0);
    loadSector(driveSource(DRIVE_A), 0);
    EXPECT_FALSE(isCommandEnabled(CMD_UNDO_WRITE));
    editor.workBuffer[300] ^= 0x5A;
    syncBuffers(SyncMode::Compare);
    writeSector();
    std::vector<uint8_t> written = diskSector(0);
    writtenSectors.count = 0;
    resetEditor();
    restoreSessionCommands();  // as a new start would, with nothing shown yet
    ASSERT_EQ(writtenSectors.count, 1);
    EXPECT_FALSE(isCommandEnabled(CMD_UNDO_WRITE));
    loadSector(driveSource(DRIVE_A), 0);
    EXPECT_TRUE(isCommandEnabled(CMD_UNDO_WRITE));

    std::vector<uint8_t> elsewhere = written;
    elsewhere[301] ^= 0xEE;
    writeBytes(floppy, 0, elsewhere);
    fake.answers = {ANSWER_OK};
    undoLastWrite();
    EXPECT_EQ(diskSector(0), elsewhere);
    EXPECT_EQ(writtenSectors.count, 1);
    char changed[256];
    std::snprintf(changed, sizeof changed, messageText(MSG_CHANGED_SINCE_WRITE), 0ull);
    EXPECT_EQ(fake.boxes.back().text, changed);

    writeBytes(floppy, 0, written);
    for (int answer : {ANSWER_CANCEL, ANSWER_OK}) {
        fake.answers = {answer};
        undoLastWrite();
    }
    EXPECT_EQ(diskSector(0), before);
    EXPECT_EQ(shownSector(), before);
    EXPECT_EQ(writtenSectors.count, 0);
    EXPECT_FALSE(isCommandEnabled(CMD_UNDO_WRITE));

    // A damaged file keeps nothing: bad tag, count, source or size, or cut short.
    auto record = [](const char* tag, int32_t count, Source source, uint32_t size, size_t bytes) {
        std::vector<uint8_t> b(tag, tag + 8);
        for (uint32_t v : {uint32_t(count), uint32_t(source.kind), uint32_t(source.number), size,
                           0u, 0u})
            for (int k = 0; k < 4; k++) b.push_back(uint8_t(v >> 8 * k));
        b.resize(b.size() + sizeof(MediumIdentity::serialNumber) + sizeof(MediumIdentity::bytes) +
                     sizeof(MediumIdentity::sectorSize) + MEDIUM_LABEL_SIZE + FILE_PATH_SIZE +
                     bytes,
                 0);
        return b;
    };
    auto replaceFile = [&](const std::vector<uint8_t>& bytes) {
        std::FILE* file = std::fopen((dir.path + "/VELDIS.WRT").c_str(), "wb");
        ASSERT_NE(file, nullptr);
        if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
    };
    for (const std::vector<uint8_t>& bytes :
         {std::vector<uint8_t>{}, record("VELDWRT2", 1, driveSource(0), 512, 1024),
          record("VELDWRT3", 17, driveSource(0), 512, 1024),
          record("VELDWRT3", 1, driveSource(26), 512, 1024),
          record("VELDWRT3", 1, diskSource(32), 512, 1024),
          record("VELDWRT3", 1, {SourceKind(7), 0}, 512, 1024),
          record("VELDWRT3", 1, IMAGE_FILE_SOURCE, 512, 1024),  // a file without its path
          record("VELDWRT3", 1, driveSource(0), 0, 0),
          record("VELDWRT3", 1, driveSource(0), 18433, 36866),
          record("VELDWRT3", 1, driveSource(0), 512, 1023)}) {
        replaceFile(bytes);
        writtenSectors.count = 1;
        loadWrittenSectors();
        EXPECT_EQ(writtenSectors.count, 0) << bytes.size();
    }
    replaceFile(record("VELDWRT3", 1, diskSource(31), 512, 1024));  // the same, whole
    loadWrittenSectors();
    EXPECT_EQ(writtenSectors.count, 1);
}

// A written sector is taken back only onto the medium it was written on: a
// floppy formatted alike put in the same drive, or a file of the same name,
// whose sector holds the same bytes, is never written.
TEST_F(Editor, AWriteIsTakenBackOnlyOntoTheMediumItWasMadeOn)
{
    settings.confirmSectorWrite = 0;
    std::string original = floppy + ".orig";
    auto patch = [](uint64_t offset, std::vector<uint8_t> bytes) {
        return [=](const std::string& image) { writeBytes(image, offset, bytes); };
    };
    struct Case {
        const char* what;
        std::function<void(const std::string&)> other;  // makes the second medium of a copy
        bool win98;                                     // no device to ask: the system's sizes
        bool undone;
    } cases[] = {
        {"the same floppy", [](const std::string&) {}, false, true},
        {"another serial", patch(0x27, {1, 2, 3, 4}), false, false},
        {"another label", patch(0x2B, {'O', 'T', 'H', 'E', 'R'}), false, false},
        {"another size", patch(2880 * 512, std::vector<uint8_t>(512)), false, false},
        {"the same floppy, Windows 98", [](const std::string&) {}, true, true},
        {"1024-byte sectors, Windows 98", patch(11, {0x00, 0x04}), true, false},
    };
    for (const Case& c : cases) {
        SectorIo::setMethod(c.win98 ? AccessMethod::Win98 : AccessMethod::WinNt5);
        std::remove(floppy.c_str());
        floppy = makeFatImage(dir, "a.img", {12, 512, 1440, 1, 1, 2, 224});
        ImageRoute::reset();
        attach(DRIVE_A, floppy, 512, 2);
        writtenSectors.count = 0;
        ASSERT_TRUE(loadSector(driveSource(DRIVE_A), 40)) << c.what;
        editor.workBuffer[7] = 0x77;
        syncBuffers(SyncMode::Compare);
        writeSector();
        std::vector<uint8_t> written = diskSector(40);

        // The medium taken out, another put in holding the same bytes there.
        std::rename(floppy.c_str(), original.c_str());
        std::filesystem::copy_file(original, floppy);
        c.other(floppy);
        bool largeSectors = readBytes(floppy, 11, 2)[1] == 0x04;
        if (largeSectors) {
            ImageRoute::attach(DRIVE_A, floppy, 1024);
            fake.volumesByDrive['A'].bytesPerSector = 1024;
        }
        std::vector<uint8_t> other = readBytes(floppy, 0, uint32_t(fileSize(floppy)));
        fake.boxes.clear();
        fake.answers = {ANSWER_OK, ANSWER_OK};
        undoLastWrite();
        EXPECT_EQ(writtenSectors.count, c.undone ? 0 : 1) << c.what;
        if (c.undone) {
            EXPECT_NE(diskSector(40), written) << c.what;
            continue;
        }
        EXPECT_EQ(readBytes(floppy, 0, uint32_t(fileSize(floppy))), other) << c.what;
        char refused[512];
        std::snprintf(refused, sizeof refused, messageText(MSG_OTHER_MEDIUM), "Ａドライブ", 40ull);
        ASSERT_EQ(fake.boxes.size(), 2u) << c.what;
        EXPECT_EQ(fake.boxes[1].text, refused) << c.what;
        fake.volumesByDrive['A'].bytesPerSector = 512;
    }
}

// Writes to an image file are kept as a drive's are, the file known by its
// path and size; 書込の取り消し takes back the newest write of what is shown.
TEST_F(Editor, AWriteIsTakenBackFromWhatIsShownOnly)
{
    settings.confirmSectorWrite = 0;
    std::string image = dir.path + "/fd.img";
    std::filesystem::copy_file(floppy, image);
    auto typeAndWrite = [&](Source source, uint8_t mark) {
        ASSERT_TRUE(source == IMAGE_FILE_SOURCE ? openImageFile(image.c_str())
                                                : loadSector(source, 0));
        ASSERT_TRUE(loadSector(source, 40));
        editor.workBuffer[9] = mark;
        syncBuffers(SyncMode::Compare);
        writeSector();
    };
    typeAndWrite(IMAGE_FILE_SOURCE, 0x9A);
    typeAndWrite(driveSource(DRIVE_A), 0x90);
    std::vector<uint8_t> imageBefore = readBytes(image, 0, 2880 * 512);

    // The image shown again: its own write, not A:'s newer one, is asked about.
    ASSERT_TRUE(openImageFile(image.c_str()));
    EXPECT_TRUE(isCommandEnabled(CMD_UNDO_WRITE));
    std::filesystem::resize_file(image, 2881 * 512);  // another file of that name, reopened
    ASSERT_TRUE(openImageFile(image.c_str()));
    fake.boxes.clear();
    fake.answers = {ANSWER_OK};
    undoLastWrite();
    char question[1024], refused[1024];
    std::snprintf(question, sizeof question, messageText(MSG_UNDO_WRITE),
                  (image + "（VELDISTEST）").c_str(), 40ull);
    std::snprintf(refused, sizeof refused, messageText(MSG_OTHER_MEDIUM), image.c_str(), 40ull);
    ASSERT_EQ(fake.boxes.size(), 2u);
    EXPECT_EQ(fake.boxes[0].text, question);
    EXPECT_EQ(fake.boxes[1].text, refused);
    EXPECT_EQ(readBytes(image, 0, 2880 * 512), imageBefore);

    std::filesystem::resize_file(image, 2880 * 512);
    ASSERT_TRUE(openImageFile(image.c_str()));
    fake.answers = {ANSWER_OK};
    undoLastWrite();
    EXPECT_NE(readBytes(image, 40 * 512, 512)[9], 0x9A);
    EXPECT_EQ(diskSector(40)[9], 0x90);  // A:'s write stays
    EXPECT_FALSE(isCommandEnabled(CMD_UNDO_WRITE));
    ASSERT_EQ(writtenSectors.count, 1);
    EXPECT_TRUE(writtenSectors.writes[0].source == driveSource(DRIVE_A));
}

TEST_F(Editor, RefusedDrivesAndFailedReadsLeaveTheEditorAsItWas)
{
    loadSector(driveSource(DRIVE_A), 3);
    editor.workBuffer[0] ^= 0xFF;
    syncBuffers(SyncMode::Compare);
    settings.confirmDiscardEdits = 0;
    EditorState before = editor;

    fake.driveTypes[3] = 5;  // a CD-ROM
    EXPECT_FALSE(loadSector(driveSource(3), 0));
    EXPECT_EQ(boxesOf(MSG_DRIVE_UNSUPPORTED), 1);

    fake.volume.freeSpaceOk = false;  // drive B: answers no volume query, its device no size
    attach(1, floppy, 512, 2);
    fake.volumesByDrive['B'].freeSpaceOk = false;
    ImageRoute::hideDevice(1);
    EXPECT_FALSE(loadSector(driveSource(1), 0));
    EXPECT_EQ(boxesOf(MSG_SECTOR_READ_ERROR), 1);

    ImageRoute::failSector(DRIVE_A, SectorOp::Read, 6);
    EXPECT_FALSE(loadSector(driveSource(DRIVE_A), 6));
    EXPECT_EQ(boxesOf(MSG_SECTOR_READ_ERROR), 2);

    for (uint32_t size : {0u, 520u, 18448u, 0x80000000u}) {
        fake.volumesByDrive['A'].bytesPerSector = size;
        EXPECT_FALSE(loadSector(driveSource(DRIVE_A), 1)) << size;
    }
    EXPECT_EQ(boxesOf(MSG_DRIVE_UNSUPPORTED), 5);
    EXPECT_EQ(std::memcmp(&before, &editor, sizeof editor), 0);
}

const int AREA_COMMANDS[] = {CMD_JUMP_IPL, CMD_JUMP_FAT, CMD_JUMP_DIR, CMD_JUMP_DATA,
                             CMD_JUMP_CLUSTER};

TEST_F(Editor, AreaCommandsFollowTheFileSystemOfTheDriveShown)
{
    constexpr int DRIVE_B = 1;
    attach(DRIVE_B, floppy, 512, 2);
    fake.volumesByDrive['B'].fileSystem = "NTFS";
    setNtfsSectorCount(floppy, 2879);
    for (int drive : {DRIVE_A, DRIVE_B, DRIVE_A}) {
        ASSERT_TRUE(loadSector(driveSource(drive), 0));
        for (int id : AREA_COMMANDS) EXPECT_EQ(isCommandEnabled(id), drive == DRIVE_A) << id;
        EXPECT_EQ(volumeInfo.isNtfs, drive == DRIVE_B);
        EXPECT_TRUE(isCommandEnabled(CMD_JUMP_LAST));
    }
}

// A load refused after the volume query (no free-space figures, a sector size
// the editor cannot show, an unreadable sector) must leave the area commands
// and the volume facts describing what is on screen: nothing at all at start,
// else the drive shown, whatever file system the refused drive reported.
TEST_F(Editor, ARefusedLoadLeavesTheAreaCommandsAndVolumeFactsOfTheDriveShown)
{
    constexpr int DRIVE_B = 1;
    enum Refusal { QUERY_FAILS, SECTOR_SIZE, READ_FAILS };
    for (std::string shown : {"", "FAT", "NTFS"}) {
        for (Refusal refusal : {QUERY_FAILS, SECTOR_SIZE, READ_FAILS}) {
            SCOPED_TRACE("shown '" + shown + "', refusal " + std::to_string(refusal));
            installFakePlatform();
            loadSettings();
            attach(DRIVE_A, floppy, 512, 2);
            attach(DRIVE_B, floppy, 512, 2);
            setNtfsSectorCount(floppy, 2879);
            fake.volumesByDrive['A'].fileSystem = shown;
            fake.volumesByDrive['A'].label = "SHOWN";
            if (!shown.empty()) {
                ASSERT_TRUE(loadSector(driveSource(DRIVE_A), 0));
            }
            const VolumeInfo before = volumeInfo;

            FakeVolume& refused = fake.volumesByDrive['B'];
            refused.fileSystem = shown == "NTFS" ? "FAT" : "NTFS";
            refused.label = "REFUSED";
            if (refusal == QUERY_FAILS) {
                refused.freeSpaceOk = false;
                ImageRoute::hideDevice(DRIVE_B);  // else it opens raw
            }
            if (refusal == SECTOR_SIZE) refused.bytesPerSector = 520;
            if (refusal == READ_FAILS) ImageRoute::failSector(DRIVE_B, SectorOp::Read, 0);
            EXPECT_FALSE(loadSector(driveSource(DRIVE_B), 0));

            EXPECT_STREQ(volumeInfo.volumeName, before.volumeName);
            EXPECT_STREQ(volumeInfo.fileSystemName, before.fileSystemName);
            EXPECT_EQ(volumeInfo.isNtfs, shown == "NTFS");
            for (int id : AREA_COMMANDS)
                EXPECT_EQ(isCommandEnabled(id), shown == "FAT") << id;
            EXPECT_EQ(editor.source, shown.empty() ? NO_SOURCE : driveSource(DRIVE_A));
        }
    }
}

TEST_F(Editor, TheLargestSectorFitsTheBuffers)
{
    std::string image = dir.path + "/big.img";
    std::vector<uint8_t> sectors(3 * IMAGE_BUFFER_SIZE, 0);
    sectors[11] = 0x00, sectors[12] = 0x48;  // 18432 bytes per sector
    sectors[19] = 3;                         // three sectors
    sectors[22] = 1;
    sectors[IMAGE_BUFFER_SIZE + IMAGE_BUFFER_SIZE - 1] = 0xEE;
    FILE* out = fopen(image.c_str(), "wb");
    fwrite(sectors.data(), 1, sectors.size(), out);
    fclose(out);
    attach(DRIVE_C, image, IMAGE_BUFFER_SIZE, 3);
    ASSERT_TRUE(loadSector(driveSource(DRIVE_C), 1));
    EXPECT_EQ(editor.lineCount, 1152);
    EXPECT_EQ(editor.workBuffer[IMAGE_BUFFER_SIZE - 1], 0xEE);
}

TEST_F(Editor, ASmallerSectorPullsTheCursorOntoItsLastLine)
{
    attachLargeSectorDrive();
    loadSector(driveSource(DRIVE_C), 0);
    editor.cursorLine = 100;
    editor.cursorColumn = 15;
    loadSector(driveSource(DRIVE_A), 0);
    EXPECT_EQ(editor.cursorLine, 31);
    EXPECT_EQ(editor.cursorColumn, 15);
    onChar('7');
    onChar('7');
    EXPECT_EQ(editor.workBuffer[511], 0x77);
    EXPECT_NE(editor.modified, 0);
}

}  // namespace
