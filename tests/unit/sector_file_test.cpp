#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "app/main_commands.h"
#include "editor_fixture.h"
#include "image/sector_file.h"

namespace {

class SectorFile : public EditorTest {
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        ASSERT_TRUE(loadSector(driveSource(DRIVE_A), 0));
        path = dir.path + "/sector.sct";
    }
    void writeFile(const std::vector<uint8_t>& bytes)
    {
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }
    static std::vector<uint8_t> pattern(size_t size)
    {
        std::vector<uint8_t> bytes(size);
        for (size_t i = 0; i < size; i++) bytes[i] = uint8_t(i * 7 + 3);
        return bytes;
    }
    std::string path;
};

// A shorter file fills the start of the sector and zeros the rest; a longer
// one gives its first sector's worth. It counts as an edit of the sector. A
// file of another size asks first, naming both sizes.
TEST_F(SectorFile, LoadPutsTheFileInPlaceOfTheSector)
{
    for (size_t size : {0u, 100u, 512u, 1000u}) {
        std::vector<uint8_t> bytes = pattern(size), expected(512, 0);
        std::copy_n(bytes.begin(), std::min<size_t>(size, 512), expected.begin());
        writeFile(bytes);
        if (size != 512) {
            std::vector<uint8_t> shown = shownSector();
            fake.chosenFiles = {path};
            fake.answers = {ANSWER_CANCEL};
            loadSectorFile();
            EXPECT_EQ(shownSector(), shown) << size;
            char question[256];
            std::snprintf(question, sizeof question, messageText(MSG_SECTOR_FILE_SIZE),
                          (unsigned long long)size, 512ul);
            EXPECT_EQ(fake.boxes.back().text, question);
            fake.answers = {ANSWER_OK};
        }
        fake.chosenFiles = {path};
        loadSectorFile();
        EXPECT_EQ(shownSector(), expected) << size;
        EXPECT_NE(editor.modified, 0);
        EXPECT_TRUE(isCommandEnabled(CMD_SECTOR_WRITE));
        EXPECT_EQ(std::vector<uint8_t>(editor.savedCopy, editor.savedCopy + 512), diskSector(0));
    }
    EXPECT_EQ(fake.fileDialogs.back().kind, FileDialog::OpenExisting);
    EXPECT_STREQ(fake.fileDialogs.back().defaultExtension, "sct");

    attachLargeSectorDrive();  // 512 bytes into a 2048-byte sector
    fake.answers = {ANSWER_OK};  // the edits above are let go
    ASSERT_TRUE(loadSector(driveSource(DRIVE_C), 3));
    writeFile(pattern(512));
    fake.chosenFiles = {path};
    fake.answers = {ANSWER_OK};
    loadSectorFile();
    std::vector<uint8_t> expected = pattern(512);
    expected.resize(2048, 0);
    EXPECT_EQ(shownSector(), expected);
}

TEST_F(SectorFile, TheSectorSavedAndLoadedBackIsNoEdit)
{
    editor.workBuffer[5] ^= 0xFF;  // an edit not yet written
    syncBuffers(SyncMode::Compare);
    fake.chosenFiles = {path};
    saveSectorFile();
    EXPECT_EQ(readBytes(path, 0, 512), shownSector());
    EXPECT_EQ(fileSize(path), 512u);
    EXPECT_NE(editor.modified, 0);  // a file is not the disk
    EXPECT_EQ(fake.fileDialogs.back().kind, FileDialog::Save);

    writeFile(diskSector(0));
    fake.chosenFiles = {path};
    loadSectorFile();
    EXPECT_EQ(editor.modified, 0);
    EXPECT_FALSE(isCommandEnabled(CMD_SECTOR_WRITE));
}

// A file that cannot be opened or read leaves the sector and its edits as
// they were: no zeroed sector for Ctrl+W to write.
TEST_F(SectorFile, AFailedLoadChangesNothing)
{
    editor.workBuffer[9] = 0x99;
    syncBuffers(SyncMode::Compare);
    EditorState before = editor;
    writeFile(pattern(300));
    struct Case {
        bool openFails, sizeFails;
        MessageId message;
    } cases[] = {{true, false, MSG_FILE_OPEN_ERROR}, {false, true, MSG_FILE_READ_ERROR}};
    for (const Case& c : cases) {
        fake.openFails = c.openFails;
        fake.sizeFails = c.sizeFails;
        fake.chosenFiles = {path};
        fake.boxes.clear();
        loadSectorFile();
        ASSERT_EQ(fake.boxes.size(), 1u);
        EXPECT_EQ(fake.boxes[0].text, messageText(c.message));
        EXPECT_EQ(std::memcmp(&before, &editor, sizeof editor), 0);
    }
    fake.openFails = fake.sizeFails = false;
    loadSectorFile();  // the dialog cancelled
    EXPECT_EQ(std::memcmp(&before, &editor, sizeof editor), 0);
    EXPECT_EQ(fake.openFiles, 0);
}

TEST_F(SectorFile, AFailedSaveLeavesNoFile)
{
    fake.writeFailsPast = 100;
    fake.chosenFiles = {path};
    saveSectorFile();
    fake.createFails = true;
    fake.chosenFiles = {path};
    saveSectorFile();
    ASSERT_EQ(fake.boxes.size(), 2u);
    EXPECT_EQ(fake.boxes[0].text, messageText(MSG_FILE_WRITE_ERROR));
    EXPECT_EQ(fake.boxes[1].text, messageText(MSG_FILE_OPEN_ERROR));
    EXPECT_FALSE(std::ifstream(path).good());
}

// The discard question comes before the file dialog; Cancel keeps the edits.
TEST_F(SectorFile, TheLoadCommandAsksBeforeItsDialog)
{
    editor.workBuffer[0] ^= 0xFF;
    syncBuffers(SyncMode::Compare);
    fake.answers = {ANSWER_CANCEL};
    fake.chosenFiles = {path};
    runCommand(CMD_SECTOR_FILE_LOAD);
    EXPECT_TRUE(fake.fileDialogs.empty());
    EXPECT_NE(editor.modified, 0);
    EXPECT_EQ(boxesOf(MSG_DISCARD_EDITS), 1);
}

}  // namespace
