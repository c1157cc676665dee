#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "app/platform_win32.h"
#include "app/read_dialog_win32.h"
#include "dialog_hook.h"
#include "dialog_template.h"
#include "disk/sector_routes_win32.h"
#include "editor/editor_state.h"
#include "platform/commands.h"
#include "platform/messages.h"
#include "platform/settings.h"
#include "res/resource.h"
#include "volume/drive_types.h"
#include "wine_editor.h"
#include "wine_paths.h"

// The drives come from the CTest entry: A: a FAT12 floppy, D: a FAT16 volume,
// F: a CD-ROM. Sectors are read through the NT route from the loop devices.
namespace {

class ReadDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        installWineEditor();
        settings = Settings{};
        settings.fontSize = 2;
        settings.confirmDiscardEdits = 1;
        exe = loadVeldisExe();
        ASSERT_NE(exe, nullptr);
    }
    void TearDown() override { FreeLibrary(exe); }

    void run(DialogSteps steps) { runDialog(exe, "READ", readDialogProc, steps, boxes); }

    static std::string text(HWND dialog, int id)
    {
        char value[32] = "";
        GetDlgItemTextA(dialog, id, value, sizeof value);
        return value;
    }
    static std::vector<std::string> drives(HWND dialog)
    {
        std::vector<std::string> entries;
        HWND combo = GetDlgItem(dialog, IDC_READ_DRIVE);
        for (int i = 0; i < SendMessageA(combo, CB_GETCOUNT, 0, 0); i++) {
            char entry[8] = "";
            SendMessageA(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(entry));
            entries.push_back(entry);
        }
        return entries;
    }
    static void choose(HWND dialog, const char* drive, const char* sector)
    {
        SendDlgItemMessageA(dialog, IDC_READ_DRIVE, CB_SELECTSTRING, WPARAM(-1),
                            reinterpret_cast<LPARAM>(drive));
        SetDlgItemTextA(dialog, IDC_READ_SECTOR, sector);
    }
    static void click(HWND window, int id) { PostMessageA(window, WM_COMMAND, id, 0); }

    HMODULE exe = nullptr;
    std::vector<std::string> boxes;
};

// Nothing shown yet: the first drive listed is chosen, so the first Enter reads.
TEST_F(ReadDialog, TheFirstDriveListedIsChosenWhenNoneIsShown)
{
    std::string sector, selected;
    std::vector<std::string> listed;
    run({[&](HWND dialog) {
        sector = text(dialog, IDC_READ_SECTOR);
        selected = text(dialog, IDC_READ_DRIVE);
        listed = drives(dialog);
        click(dialog, IDOK);
    }});
    EXPECT_EQ(sector, "0");
    ASSERT_FALSE(listed.empty());
    EXPECT_EQ(selected, listed.front());
    EXPECT_TRUE(boxes.empty());
    for (const char* drive : {"A:", "D:"})
        EXPECT_NE(std::find(listed.begin(), listed.end(), drive), listed.end()) << drive;
    EXPECT_EQ(std::find(listed.begin(), listed.end(), "F:"), listed.end());
    EXPECT_EQ(editor.source, sourceFromChoice(listed.front().c_str()));
}

TEST_F(ReadDialog, OkShowsTheSectorAndTheNextOpeningProposesIt)
{
    run({[&](HWND dialog) {
        choose(dialog, "A:", "100");
        click(dialog, IDOK);
    }});
    EXPECT_EQ(editor.source, driveSource(0));
    EXPECT_EQ(editor.currentSector, 100u);
    FILE* image = std::fopen(winePathFromEnvironment("VELDIS_IMAGE_A").c_str(), "rb");
    ASSERT_NE(image, nullptr);
    uint8_t sector[512];
    std::fseek(image, 100 * 512, SEEK_SET);
    ASSERT_EQ(std::fread(sector, 1, 512, image), 512u);
    std::fclose(image);
    EXPECT_EQ(std::memcmp(sector, editor.workBuffer, 512), 0);

    std::string proposedDrive, proposedSector;
    run({[&](HWND dialog) {
        proposedDrive = text(dialog, IDC_READ_DRIVE);
        proposedSector = text(dialog, IDC_READ_SECTOR);
        choose(dialog, "D:", "32767");  // D:'s last sector
        click(dialog, IDOK);
    }});
    EXPECT_EQ(proposedDrive, "A:");
    EXPECT_EQ(proposedSector, "100");
    EXPECT_EQ(editor.source, driveSource(3));
    EXPECT_EQ(editor.currentSector, 32767u);
    EXPECT_TRUE(boxes.empty());

    // Past the last sector, or no number at all: refused, the dialog stays.
    for (const char* typed : {"32768", "4294967296", ""}) {
        boxes.clear();
        HWND readDialog = nullptr;
        run({[&](HWND dialog) {
                 readDialog = dialog;
                 choose(dialog, "D:", typed);
                 click(dialog, IDOK);
             },
             [&](HWND box) {
                 click(box, IDOK);
                 click(readDialog, IDCANCEL);
             }});
        EXPECT_EQ(boxes, std::vector<std::string>{messageText(MSG_BAD_PARAMETER)}) << typed;
        EXPECT_EQ(editor.currentSector, 32767u);
    }
}

// Letters reach the box (0x1F once became 01): hexadecimal, and with a sign
// a distance from the sector shown.
TEST_F(ReadDialog, TheSectorBoxTakesHexadecimalAndRelativeNumbers)
{
    struct Case {
        const char* typed;
        SectorNumber sector;
    } cases[] = {{"0x1F", 31}, {"1Fh", 31}, {"31", 31}, {"+0x10", 47}, {"-2", 45}};
    for (const Case& c : cases) {
        std::string shown;
        run({[&](HWND dialog) {
            choose(dialog, "A:", "");
            HWND box = GetDlgItem(dialog, IDC_READ_SECTOR);
            for (const char* k = c.typed; *k != '\0'; k++)
                SendMessageA(box, WM_CHAR, uint8_t(*k), 0);
            shown = text(dialog, IDC_READ_SECTOR);
            click(dialog, IDOK);
        }});
        EXPECT_EQ(shown, c.typed);
        EXPECT_TRUE(boxes.empty()) << c.typed;
        EXPECT_EQ(editor.source, driveSource(0)) << c.typed;
        EXPECT_EQ(editor.currentSector, c.sector) << c.typed;
    }
}

TEST_F(ReadDialog, KeepingTheEditsKeepsTheDialogOpen)
{
    run({[&](HWND dialog) {
        choose(dialog, "A:", "5");
        click(dialog, IDOK);
    }});
    editor.workBuffer[0] ^= 0xFF;
    syncBuffers(SyncMode::Compare);
    HWND readDialog = nullptr;
    run({[&](HWND dialog) {
             readDialog = dialog;
             choose(dialog, "A:", "6");
             click(dialog, IDOK);
         },
         [&](HWND box) {
             click(box, IDCANCEL);  // keep the edits
             click(readDialog, IDCANCEL);
         }});
    EXPECT_EQ(boxes, std::vector<std::string>{messageText(MSG_DISCARD_EDITS)});
    EXPECT_EQ(editor.currentSector, 5u);
    EXPECT_NE(editor.modified, 0);
}

}  // namespace
