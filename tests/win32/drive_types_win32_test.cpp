#include <gtest/gtest.h>

#include "app/platform_win32.h"
#include "volume/drive_combo_win32.h"
#include "volume/drive_types.h"

// The drives come from the CTest entry: A: floppy, D: hd, E: ramdisk,
// F: cdrom, G: network; Q: is not mapped at all.
namespace {

int drive(char letter)
{
    return letter - 'A';
}

class DrivesOnWine : public ::testing::Test {
protected:
    void SetUp() override { installWin32Platform(); }
};

TEST_F(DrivesOnWine, TypesLabelsAndTheEditableSet)
{
    struct Case {
        char letter;
        UINT type;
        const char* label;
        bool editable;
    } cases[] = {{'A', DRIVE_REMOVABLE, "Removable", true}, {'D', DRIVE_FIXED, "Hard Disk", true},
                 {'E', DRIVE_RAMDISK, "RAM Disk", true},    {'F', DRIVE_CDROM, "CD-ROM", false},
                 {'G', DRIVE_REMOTE, "Net Work", false},    {'Q', DRIVE_NO_ROOT_DIR, "--------", false}};
    refreshSupportedDrives();
    for (const Case& c : cases) {
        char root[] = {c.letter, ':', '\\', 0};
        EXPECT_EQ(GetDriveTypeA(root), c.type) << root;
        EXPECT_STREQ(driveTypeName(drive(c.letter)), c.label) << root;
        EXPECT_EQ(isSupportedDrive(drive(c.letter)), c.editable) << root;
        EXPECT_EQ(supportedDrives[drive(c.letter)], c.editable ? 1 : 0) << root;
    }
}

TEST_F(DrivesOnWine, ComboListsTheSupportedDrivesAndSelectsTheEditorsDrive)
{
    HWND combo = CreateWindowA("COMBOBOX", "", WS_POPUP | CBS_DROPDOWNLIST, 0, 0, 100, 200,
                               nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(combo, nullptr);
    fillDriveCombo(combo, driveSource(drive('E')));

    std::vector<std::string> entries;
    int count = int(SendMessageA(combo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; i++) {
        char text[8] = "";
        SendMessageA(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        entries.push_back(text);
    }
    std::vector<std::string> expected;
    for (int d = 0; d < DRIVE_COUNT; d++)
        if (supportedDrives[d]) expected.push_back(std::string(1, char('A' + d)) + ":");
    EXPECT_EQ(entries, expected);
    for (const char* listed : {"A:", "D:", "E:"})
        EXPECT_NE(std::find(entries.begin(), entries.end(), listed), entries.end()) << listed;
    for (const char* absent : {"F:", "G:", "Q:"})
        EXPECT_EQ(std::find(entries.begin(), entries.end(), absent), entries.end()) << absent;
    EXPECT_EQ(comboSource(combo), driveSource(drive('E')));

    fillDriveCombo(combo, driveSource(drive('F')));  // not listed: nothing selected
    EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), CB_ERR);
    EXPECT_EQ(comboSource(combo), NO_SOURCE);
    SendMessageA(combo, CB_SETCURSEL, 0, 0);
    EXPECT_EQ(comboSource(combo), driveSource(drive('A')));
    DestroyWindow(combo);
}

}  // namespace
