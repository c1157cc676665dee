#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "app/platform_win32.h"
#include "dialog_hook.h"
#include "dialog_template.h"
#include "disk/sector_routes_win32.h"
#include "driveinfo/drive_dialogs_win32.h"
#include "driveinfo/drive_list.h"
#include "driveinfo/partition_list.h"
#include "driveinfo/shell_menu_win32.h"
#include "editor/editor_state.h"
#include "editor/navigation.h"
#include "res/resource.h"
#include "volume/drive_types.h"
#include "wine_editor.h"
#include "wine_paths.h"

// The drives come from the CTest entry: A: a FAT12 floppy VELDISFD 1234-ABCD,
// B: a floppy drive (a folder to Wine), D: a FAT16 volume, F: a CD-ROM drive,
// G: a network drive, Y: a FAT32 volume VELDIS32 CAFE-F00D; Wine adds C: and Z:.
namespace {

constexpr int DRIVE_A = 0;
constexpr int DRIVE_Y = 'Y' - 'A';

std::vector<std::string> itemTexts(const DialogTemplate& dialog)
{
    std::vector<std::string> texts;
    for (const DialogItem& item : dialog.items) texts.push_back(item.text);
    return texts;
}

TEST(DriveInfoDialogs, TemplatesOfTheExe)
{
    HMODULE exe = loadVeldisExe();
    DialogTemplate all, info;
    ASSERT_TRUE(readDialogTemplate(exe, "ALLINFO", all));
    ASSERT_TRUE(readDialogTemplate(exe, "INFO", info));
    FreeLibrary(exe);
    EXPECT_EQ(all.title, "全ドライブ情報");
    EXPECT_EQ(all.style & ~DWORD(DS_SETFONT), DWORD(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME));
    EXPECT_EQ(info.style & ~DWORD(DS_SETFONT), DWORD(DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU));
    ASSERT_EQ(all.items.size(), 1u);
    EXPECT_EQ(all.items[0].id, IDC_ALLINFO_LIST);
    EXPECT_EQ(lstrcmpiA(all.items[0].className.c_str(), "SysListView32"), 0);  // any case names the class
    EXPECT_TRUE(all.items[0].style & LVS_REPORT);

    EXPECT_EQ(info.title, "");
    EXPECT_EQ(info.fontFace, "ＭＳ Ｐゴシック");
    std::vector<int> fields;
    for (const DialogItem& item : info.items)
        if (item.className == "Edit") {
            fields.push_back(item.id);
            EXPECT_TRUE(item.style & ES_READONLY) << item.id;
        }
    EXPECT_EQ(fields, (std::vector<int>{1001, 1002, 1003, 1004, 1009, 1010, 1011, 1012, 1005, 1006,
                                        1007, 1008, 1013, 1014}));
    std::vector<std::string> texts = itemTexts(info);
    for (const char* text : {"プロパティ", "フォーマット", "取り出し", "戻る", "全容量", "ＩＰＬ領域", "DATA領域",
                             "１クラスタ", "ボリューム", "シリアル"})
        EXPECT_NE(std::find(texts.begin(), texts.end(), text), texts.end()) << text;
}

struct ListRow {
    std::string texts[PARTITION_LIST_COLUMNS];
    int image = -1;
};

std::vector<ListRow> listRows(HWND list, int columns = DRIVE_LIST_COLUMNS)
{
    std::vector<ListRow> rows(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    for (size_t k = 0; k < rows.size(); k++) {
        for (int column = 0; column < columns; column++) {
            char text[256] = "";
            LVITEMA item = {};
            item.iSubItem = column;
            item.pszText = text;
            item.cchTextMax = sizeof text;
            SendMessageA(list, LVM_GETITEMTEXTA, k, LPARAM(&item));
            rows[k].texts[column] = text;
        }
        LVITEMA item = {};
        item.mask = LVIF_IMAGE;
        item.iItem = int(k);
        SendMessageA(list, LVM_GETITEMA, 0, LPARAM(&item));
        rows[k].image = item.iImage;
    }
    return rows;
}

std::string firstColumn(const std::vector<ListRow>& rows)
{
    std::string letters;
    for (const ListRow& row : rows) letters += row.texts[0].substr(0, 1);
    return letters;
}

// A click on a column's header, as the mouse gives it.
void clickHeader(HWND list, int column)
{
    HWND header = HWND(SendMessageA(list, LVM_GETHEADER, 0, 0));
    RECT box;
    SendMessageA(header, HDM_GETITEMRECT, column, LPARAM(&box));
    LPARAM at = MAKELPARAM((box.left + box.right) / 2, (box.top + box.bottom) / 2);
    SendMessageA(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(header, WM_LBUTTONUP, 0, at);
}

TEST(DriveInfoDialogs, AllDrivesListed)
{
    installWin32Platform();
    std::vector<std::vector<ListRow>> seen;
    RECT client{}, listBox{};
    int lastWidth = 0, lastTextsWidth = 0;
    std::vector<std::string> boxes;
    HMODULE exe = loadVeldisExe();
    runDialog(exe, "ALLINFO", allDrivesDialogProc, {[&](HWND dialog) {
                  HWND list = GetDlgItem(dialog, IDC_ALLINFO_LIST);
                  seen.push_back(listRows(list));
                  lastWidth = int(SendMessageA(list, LVM_GETCOLUMNWIDTH, DRIVE_LIST_COLUMNS - 1, 0));
                  SendMessageA(list, LVM_SETCOLUMNWIDTH, DRIVE_LIST_COLUMNS - 1, LVSCW_AUTOSIZE);
                  lastTextsWidth = int(SendMessageA(list, LVM_GETCOLUMNWIDTH, DRIVE_LIST_COLUMNS - 1, 0));
                  for (int click : {1, 1, 0}) {
                      clickHeader(list, click);
                      seen.push_back(listRows(list));
                  }
                  SetWindowPos(dialog, nullptr, 0, 0, 900, 500, SWP_NOMOVE | SWP_NOZORDER);
                  GetClientRect(dialog, &client);
                  GetWindowRect(list, &listBox);
                  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&listBox), 2);
                  PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
              }},
              boxes);
    FreeLibrary(exe);
    ASSERT_EQ(seen.size(), 4u);
    EXPECT_TRUE(boxes.empty());

    // Wine answers every drive's folder as a volume: only the loop devices
    // carry the labels and serials mkfs.fat wrote.
    EXPECT_EQ(firstColumn(seen[0]), "ABCDFGYZ");
    std::vector<int> images;
    for (const ListRow& row : seen[0]) images.push_back(row.image);
    EXPECT_EQ(images, (std::vector<int>{0, 0, 1, 1, 3, 2, 1, 1}));
    for (auto [index, root, label, serial, system] :
         {std::tuple{0, "A:\\", "VELDISFD", "1234-ABCD", "FAT"}, std::tuple{6, "Y:\\", "VELDIS32", "CAFE-F00D", "FAT32"}}) {
        DWORD flags = 0;
        ASSERT_TRUE(GetVolumeInformationA(root, nullptr, 0, nullptr, nullptr, &flags, nullptr, 0));
        char features[DRIVE_LIST_TEXT_SIZE];
        fileSystemFlagsText(flags, features);
        const ListRow& row = seen[0][index];
        EXPECT_EQ(std::vector<std::string>(row.texts, row.texts + DRIVE_LIST_COLUMNS),
                  (std::vector<std::string>{root, label, serial, system, "  255", features}));
    }

    // Labels ascending, then descending; then the drives in letter order.
    auto labels = [](const std::vector<ListRow>& rows) {
        std::vector<std::string> texts;
        for (const ListRow& row : rows) texts.push_back(row.texts[1]);
        return texts;
    };
    std::vector<std::string> ascending = labels(seen[0]);
    std::sort(ascending.begin(), ascending.end());
    EXPECT_EQ(labels(seen[1]), ascending);
    EXPECT_EQ(labels(seen[2]), std::vector<std::string>(ascending.rbegin(), ascending.rend()));
    EXPECT_EQ(firstColumn(seen[3]), "ABCDFGYZ");

    // The feature texts are wider than their header: the last column is as
    // wide as they are, not stretched to the list's edge.
    EXPECT_EQ(lastWidth, lastTextsWidth);

    EXPECT_EQ(listBox.left, 0);
    EXPECT_EQ(listBox.top, 0);
    EXPECT_EQ(listBox.right, client.right);
    EXPECT_EQ(listBox.bottom, client.bottom);
    EXPECT_GT(client.right, 800);
}

uint32_t leField(const std::vector<uint8_t>& sector, int at, int size)
{
    uint32_t value = 0;
    for (int k = size - 1; k >= 0; k--) value = value << 8 | sector[at + k];
    return value;
}

std::string printed(const char* format, unsigned long long value)
{
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

class DriveInfoOnWine : public ::testing::Test {
protected:
    void SetUp() override
    {
        installWineEditor();
        exe = loadVeldisExe();
    }
    void TearDown() override { FreeLibrary(exe); }

    void open(int drive)
    {
        ASSERT_TRUE(loadSector(driveSource(drive), 0));
        show();
    }

    // The dialog's title, fields 1001 to 1014 and buttons, for the drive shown.
    void show()
    {
        std::vector<std::string> boxes;
        runDialog(exe, "INFO", driveInfoDialogProc, {[&](HWND dialog) {
                      char text[128] = "";
                      GetWindowTextA(dialog, text, sizeof text);
                      title = text;
                      for (int id = 1001; id <= 1014; id++) {
                          GetDlgItemTextA(dialog, id, text, sizeof text);
                          fields[id] = text;
                      }
                      for (int id : {IDC_INFO_PROPERTIES, IDC_INFO_FORMAT, IDC_INFO_EJECT})
                          enabled[id] = IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE;
                      PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
                  }},
                  boxes);
        EXPECT_TRUE(boxes.empty());
    }

    // What the fields must say, worked out from the volume's own boot sector
    // and the space the editor read.
    void expectFieldsOf(const char* imageVariable, const char* label, const char* serial)
    {
        std::string path = winePathFromEnvironment(imageVariable);
        std::FILE* file = std::fopen(path.c_str(), "rb");
        ASSERT_NE(file, nullptr) << path;
        std::vector<uint8_t> boot(512);
        ASSERT_EQ(std::fread(boot.data(), 1, 512, file), 512u);
        std::fclose(file);
        uint32_t spc = leField(boot, 13, 1), reserved = leField(boot, 14, 2), fats = leField(boot, 16, 1);
        uint32_t roots = leField(boot, 17, 2);
        uint32_t total = leField(boot, 19, 2) ? leField(boot, 19, 2) : leField(boot, 32, 4);
        bool fat32 = leField(boot, 22, 2) == 0;
        uint32_t fatSize = fat32 ? leField(boot, 36, 4) : leField(boot, 22, 2);
        uint32_t rootSectors = fat32 ? spc : (roots * 32 + 511) / 512;
        uint32_t dataStart = reserved + fats * fatSize + (fat32 ? 0 : rootSectors);
        // Wine reports the host folder's space, which other processes change:
        // the dialog must show the figures the editor read, not ones read again.
        ASSERT_NE(editorSpace.totalBytes, 0u);
        EXPECT_EQ(fields[1001], printed("%15llu", editorSpace.totalBytes));
        EXPECT_EQ(fields[1002], printed("%15llu", editorSpace.freeBytesAvailable));
        EXPECT_EQ(fields[1003], printed("%15llu", total));
        EXPECT_EQ(fields[1004], printed("%15llu", (total - dataStart) / spc));
        EXPECT_EQ(fields[1005], printed("%llu", spc));
        EXPECT_EQ(fields[1006], "512");
        EXPECT_EQ(fields[1008], fat32 ? "FAT32" : printed("FAT%llu", total / spc < 4085 ? 12 : 16));
        EXPECT_EQ(fields[1009], printed("%15llu", reserved));
        EXPECT_EQ(fields[1010], printed("%9llu × ", fatSize) + std::to_string(fats));
        EXPECT_EQ(fields[1011], printed("%15llu", rootSectors));
        EXPECT_EQ(fields[1012], printed("%15llu", total - dataStart - (fat32 ? spc : 0)));
        EXPECT_EQ(fields[1013], label);
        EXPECT_EQ(fields[1014], serial);
    }

    HMODULE exe = nullptr;
    std::string title;
    std::map<int, std::string> fields;
    std::map<int, bool> enabled;
};

TEST_F(DriveInfoOnWine, Fat12Floppy)
{
    open(DRIVE_A);
    EXPECT_EQ(title, "Ａドライブ詳細情報");
    expectFieldsOf("VELDIS_IMAGE_A", "VELDISFD", "1234-ABCD");
    EXPECT_EQ(fields[1007], driveTypeName(DRIVE_A));
    EXPECT_TRUE(enabled[IDC_INFO_PROPERTIES]);
}

TEST_F(DriveInfoOnWine, Fat32Volume)
{
    open(DRIVE_Y);
    EXPECT_EQ(title, "Ｙドライブ詳細情報");
    expectFieldsOf("VELDIS_IMAGE_Y", "VELDIS32", "CAFE-F00D");
}

// Wine's shell menus have no Format item: the system's format dialog stands
// in for the floppy and the hard disk, not for the CD-ROM or network drive.
TEST_F(DriveInfoOnWine, FormatWhereTheSystemCanFormat)
{
    open(DRIVE_A);
    for (auto [drive, format] : {std::pair{DRIVE_A, true}, std::pair{DRIVE_Y, true},
                                 std::pair{'F' - 'A', false}, std::pair{'G' - 'A', false}}) {
        editor.source = driveSource(drive);
        show();
        EXPECT_EQ(enabled[IDC_INFO_FORMAT], format) << drive;
    }
}

// Wine's shell offers Properties for a drive (and neither Format nor Eject).
TEST(DriveInfoDialogs, TheShellsPropertiesOfADrive)
{
    CoInitialize(nullptr);
    ASSERT_TRUE(openShellAllocator());
    for (int drive : {DRIVE_A, DRIVE_Y})
        EXPECT_TRUE(driveContextCommand(nullptr, drive, PROPERTIES_TEXTS, false)) << drive;
    EXPECT_FALSE(driveContextCommand(nullptr, 'Q' - 'A', PROPERTIES_TEXTS, false));  // no such drive
    closeShellAllocator();
    CoUninitialize();
}

// A disk of two partitions whose second overlaps the first: Enter on the
// second leaves the list up with nothing shown, Enter on the first shows
// its first sector and closes the list.
TEST(DriveInfoDialogs, ThePartitionListShowsOnlyAUsablePartition)
{
    installWineEditor();
    char folder[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    std::string disk = std::string(folder) + "veldis-partition-test.img";
    std::vector<uint8_t> mbr(512, 0);
    const uint8_t entries[2][16] = {{0, 0, 0, 0, 0x06, 0, 0, 0, 0x00, 0x08, 0, 0, 0x00, 0x04, 0, 0},
                                    {0, 0, 0, 0, 0x06, 0, 0, 0, 0x00, 0x0A, 0, 0, 0x00, 0x01, 0, 0}};
    std::copy(&entries[0][0], &entries[0][0] + 32, mbr.begin() + 446);
    mbr[510] = 0x55;
    mbr[511] = 0xAA;
    FILE* file = std::fopen(disk.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fwrite(mbr.data(), 1, mbr.size(), file);
    std::vector<uint8_t> rest(4095 * 512, 0);
    std::fwrite(rest.data(), 1, rest.size(), file);
    std::fclose(file);
    ASSERT_TRUE(openImageFile(disk.c_str()));

    std::vector<std::string> problems, boxes;
    std::vector<int> itemsLeft;
    HMODULE exe = loadVeldisExe();
    runDialog(exe, "PARTLIST", partitionListDialogProc,
              {[&](HWND dialog) {
                  HWND list = GetDlgItem(dialog, IDC_PARTLIST_LIST);
                  for (const ListRow& row : listRows(list, PARTITION_LIST_COLUMNS))
                      problems.push_back(row.texts[7]);
                  LVITEMA chosen = {};
                  chosen.stateMask = chosen.state = LVIS_SELECTED;
                  SendMessageA(list, LVM_SETITEMSTATE, 1, LPARAM(&chosen));
                  chosen.state = 0;
                  SendMessageA(list, LVM_SETITEMSTATE, 0, LPARAM(&chosen));
                  SendMessageA(dialog, WM_COMMAND, IDOK, 0);
                  itemsLeft.push_back(int(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)));
                  chosen.state = LVIS_SELECTED;
                  SendMessageA(list, LVM_SETITEMSTATE, 0, LPARAM(&chosen));
                  PostMessageA(dialog, WM_COMMAND, IDOK, 0);
              }},
              boxes);
    FreeLibrary(exe);
    SectorIo::closeImage();
    DeleteFileA(disk.c_str());
    EXPECT_EQ(problems, (std::vector<std::string>{"", "他と重複"}));
    EXPECT_EQ(itemsLeft, std::vector<int>{2});
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(editor.currentSector, 2048u);
}

}  // namespace
