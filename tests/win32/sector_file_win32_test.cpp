#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>

#include "app/platform_win32.h"
#include "dialog_hook.h"
#include "editor/editor_state.h"
#include "image/sector_file.h"
#include "platform/files.h"
#include "platform/messages.h"
#include "platform/platform.h"

// Sector files through the real file calls; the file dialog answers with a
// path of the test's choosing.
namespace {

std::string chosen;

bool choosePath(const FileChoice&)
{
    lstrcpynA(lastFilePath, chosen.c_str(), FILE_PATH_SIZE);
    return true;
}

class SectorFileOnWine : public ::testing::Test {
protected:
    void SetUp() override
    {
        installWin32Platform();
        platform.chooseFile = choosePath;
        resetEditor();
        editor.source = driveSource(0);
        editor.sectorSize = 512;
        editor.lineCount = 32;
        for (int i = 0; i < 512; i++) editor.workBuffer[i] = uint8_t(i * 5 + 1);
        char folder[MAX_PATH];
        GetTempPathA(sizeof folder, folder);
        chosen = std::string(folder) + "veldis-sector.sct";
        SetFileAttributesA(chosen.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(chosen.c_str());
    }
    void TearDown() override
    {
        SetFileAttributesA(chosen.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(chosen.c_str());
    }
};

TEST_F(SectorFileOnWine, SavedAndLoadedBack)
{
    uint8_t shown[512];
    std::memcpy(shown, editor.workBuffer, 512);
    saveSectorFile();
    std::memset(editor.workBuffer, 0, 512);
    loadSectorFile();
    EXPECT_EQ(std::memcmp(editor.workBuffer, shown, 512), 0);
    EXPECT_NE(editor.modified, 0);
}

// A missing file to load, a folder that is not there to save into: each says
// so and changes nothing. (Wine's read-only attribute does not stop root.)
TEST_F(SectorFileOnWine, AMissingFileOrFolderIsAnOpenError)
{
    BoxCapture capture(IDOK);
    EditorState before = editor;
    loadSectorFile();
    EXPECT_EQ(std::memcmp(&before, &editor, sizeof editor), 0);

    chosen += ".missing\\sector.sct";
    saveSectorFile();
    EXPECT_EQ(GetFileAttributesA(chosen.c_str()), INVALID_FILE_ATTRIBUTES);

    ASSERT_EQ(capture.boxes.size(), 2u);
    for (const CapturedBox& box : capture.boxes)
        EXPECT_EQ(box.text, messageText(MSG_FILE_OPEN_ERROR));
}

}  // namespace
