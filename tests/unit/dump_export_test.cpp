#include <cstring>
#include <fstream>
#include <string>

#include "app/main_commands.h"
#include "editor/dump_export.h"
#include "editor_fixture.h"
#include "platform/files.h"

namespace {

using DumpExport = EditorTest;

std::string linesOf(const uint8_t* sector, uint32_t size, bool kanji)
{
    std::string text;
    for (int line = 0; line < int(size / 16); line++) {
        char out[DUMP_TEXT_LINE_BYTES + 1];
        formatDumpLine(sector, size, line, kanji, out);
        text.append(out, DUMP_TEXT_LINE_BYTES);
    }
    return text;
}

// The sector as edited, every line in the mode in force; the file gets the
// text alone, the clipboard the same.
TEST_F(DumpExport, EveryLineOfTheSectorShown)
{
    attachLargeSectorDrive();
    settings.confirmDiscardEdits = 0;
    for (int drive : {DRIVE_A, DRIVE_C}) {
        ASSERT_TRUE(loadSector(driveSource(drive), 0));
        editor.workBuffer[100] = 0x7F;  // an edit not written: "." or " " by mode
        syncBuffers(SyncMode::Compare);
        for (int kanji : {0, 1}) {
            settings.kanji = kanji;
            std::string expected = linesOf(editor.workBuffer, editor.sectorSize, kanji != 0);
            ASSERT_EQ(expected.size(), editor.sectorSize / 16 * 72);
            std::string path = dir.path + "/dump" + std::to_string(kanji) + ".txt";
            fake.chosenFiles = {path};
            runCommand(CMD_DUMP_TO_FILE);
            EXPECT_EQ(readBytes(path, 0, uint32_t(fileSize(path))),
                      std::vector<uint8_t>(expected.begin(), expected.end()));
            runCommand(CMD_DUMP_TO_CLIPBOARD);
            EXPECT_EQ(fake.clipboard, expected);
        }
    }
    EXPECT_EQ(fake.fileDialogs.back().kind, FileDialog::Save);
    EXPECT_STREQ(fake.fileDialogs.back().defaultExtension, "txt");
    EXPECT_TRUE(fake.boxes.empty());
}

// Each file dialog proposes the last file's folder and name with its own
// extension: Enter twice never replaces a sector file with a text dump. The
// second byte of 表 (95 5C) is no folder's end.
TEST_F(DumpExport, TheDialogProposesATextFileBesideTheLastFile)
{
    ASSERT_TRUE(loadSector(driveSource(DRIVE_A), 0));
    std::string longPath = "C:\\" + std::string(FILE_PATH_SIZE - 5, 'x');
    struct Case {
        std::string last, proposed;
    } cases[] = {
        {"C:\\work\\readme33.sct", "C:\\work\\readme33.txt"},
        {"C:\\work\\readme33", "C:\\work\\readme33.txt"},
        {"C:\\表\\a.b.sct", "C:\\表\\a.b.txt"},
        {"C:\\表", "C:\\表.txt"},
        {"C:\\dir.d\\", "C:\\dir.d\\"},
        {"", ""},
        {longPath, longPath},  // no room for the new extension: as it was
    };
    for (const Case& c : cases) {
        std::snprintf(lastFilePath, FILE_PATH_SIZE, "%s", c.last.c_str());
        exportDump(false);  // cancelled
        EXPECT_EQ(fake.proposedPaths.back(), c.proposed) << c.last;
    }
}

TEST_F(DumpExport, FailuresSaySoAndLeaveNoFile)
{
    ASSERT_TRUE(loadSector(driveSource(DRIVE_A), 0));
    std::string path = dir.path + "/dump.txt";
    fake.writeFailsPast = 1000;
    fake.chosenFiles = {path};
    exportDump(false);
    EXPECT_FALSE(std::ifstream(path).good());
    exportDump(false);  // the dialog cancelled
    fake.clipboardAnswer = ClipboardResult::Busy;  // held by another program: not claimed
    exportDump(true);
    fake.clipboardAnswer = ClipboardResult::NoMemory;
    exportDump(true);
    ASSERT_EQ(fake.boxes.size(), 2u);
    EXPECT_EQ(fake.boxes[0].text, messageText(MSG_FILE_WRITE_ERROR));
    EXPECT_EQ(fake.boxes[1].text, messageText(MSG_OUT_OF_MEMORY));
    EXPECT_TRUE(fake.clipboard.empty());
}

}  // namespace
