#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "dialog_template.h"
#include "platform/commands.h"
#include "res/resource.h"

namespace {

struct MenuEntry {
    int depth;
    std::string text;  // "-" for a separator
    int id;            // 0 for a submenu
    bool grayed;
};

void walk(HMENU menu, int depth, std::vector<MenuEntry>& out)
{
    for (int i = 0; i < GetMenuItemCount(menu); i++) {
        char text[128] = "";
        MENUITEMINFOA info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STATE | MIIM_SUBMENU | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = sizeof text;
        GetMenuItemInfoA(menu, UINT(i), TRUE, &info);
        bool grayed = (info.fState & MFS_GRAYED) != 0;
        if (info.fType & MFT_SEPARATOR) {
            out.push_back({depth, "-", 0, false});
        } else if (info.hSubMenu) {
            out.push_back({depth, text, 0, grayed});
            walk(info.hSubMenu, depth + 1, out);
        } else {
            out.push_back({depth, text, int(info.wID), grayed});
        }
    }
}

// The menu as the program shows it at start, in order.
const std::vector<MenuEntry> EXPECTED_MENU = {
    {0, "ﾌｧｲﾙ(&F)", 0, false},
    {1, "ｾｸﾀ読込(&R)        Ctrl+R", 40004, false},
    {1, "ｾｸﾀ書込(&W)        Ctrl+W", 40005, true},
    {1, "-", 0, false},
    {1, "ｾｸﾀﾌｧｲﾙ読込(&L)       Ctrl+L", 40008, true},
    {1, "ｾｸﾀﾌｧｲﾙ書込(&S)       Ctrl+S", 40009, true},
    {1, "ｲﾒｰｼﾞﾌｧｲﾙを開く(&O)    Ctrl+O", 40050, false},
    {1, "ﾌｧｲﾙとして保存(&E)...", 40059, true},
    {1, "-", 0, false},
    {1, "ﾀﾞﾝﾌﾟ情報(&D)", 0, false},
    {2, "ﾃｷｽﾄﾌｧｲﾙに保存(&T)", 40044, true},
    {2, "ｸﾘｯﾌﾟﾎﾞｰﾄﾞに保存(&C)", 40045, true},
    {1, "-", 0, false},
    {1, "ﾄﾞﾗｲﾌﾞｲﾒｰｼﾞの保存(&I)", 40041, false},
    {1, "ﾄﾞﾗｲﾌﾞｲﾒｰｼﾞの復元(&U)", 40042, false},
    {1, "ﾄﾞﾗｲﾌﾞｲﾒｰｼﾞの照合(&V)", 40047, false},
    {1, "ﾁｪｯｸｻﾑ(&H)...", 40068, false},
    {1, "-", 0, false},
    {1, "終了(&X)              Alt+F4", 40021, false},
    {0, "編集(&E)", 0, false},
    {1, "戻る(&U)", 40036, true},
    {1, "-", 0, false},
    {1, "0ｸﾘｱ(&Z)", 40014, true},
    {1, "編集やり直し(&R)", 40039, true},
    {1, "最新の情報に更新(&N)     F5", 40015, true},
    {1, "-", 0, false},
    {1, "ｴﾃﾞｨｯﾄ(&E)", 0, false},
    {2, "ﾊﾞｲﾄ値(&B)", 40033, true},
    {2, "ﾜｰﾄﾞ値(&W)", 40034, true},
    {2, "ﾀﾞﾌﾞﾙﾜｰﾄﾞ値(&D)", 40035, true},
    {1, "-", 0, false},
    {1, "検索(&F)                 Ctrl+F", 40048, true},
    {1, "次を検索(&X)             F3", 40049, true},
    {1, "-", 0, false},
    {1, "元に戻す(&O)         Ctrl+Z", 40051, true},
    {1, "やり直し(&Y)         Ctrl+Y", 40052, true},
    {1, "書込の取り消し(&W)", 40053, true},
    {1, "-", 0, false},
    {1, "ｾｸﾀ全体を選択(&A)    Ctrl+A", 40060, true},
    {1, "16進でｺﾋﾟｰ(&C)       Ctrl+C", 40061, true},
    {1, "文字でｺﾋﾟｰ(&T)", 40062, true},
    {1, "C言語の配列でｺﾋﾟｰ(&I)", 40063, true},
    {1, "16進を貼り付け(&P)    Ctrl+V", 40064, true},
    {1, "埋める(&L)...", 40065, true},
    {0, "表示(&V)", 0, false},
    {1, "全ﾄﾞﾗｲﾌﾞ情報(&A)", 40046, false},
    {1, "選択ﾄﾞﾗｲﾌﾞ情報(&I)", 40037, true},
    {1, "ﾊﾟｰﾃｨｼｮﾝ一覧(&P)", 40055, true},
    {1, "ｾｸﾀの構造(&D)", 40056, false},
    {1, "ﾃﾞｰﾀ ｲﾝｽﾍﾟｸﾀ(&R)", 40067, false},
    {1, "-", 0, false},
    {1, "前ｾｸﾀ(&B)        Ctrl+B", 40006, true},
    {1, "次ｾｸﾀ(&N)        Ctrl+N", 40007, true},
    {1, "指定ｾｸﾀ(&S)", 0, false},
    {2, "ｼﾞｬﾝﾌﾟ - IPL(&I)", 40011, true},
    {2, "ｼﾞｬﾝﾌﾟ - FAT(&F)", 40010, true},
    {2, "ｼﾞｬﾝﾌﾟ - DIR(&E)", 40012, true},
    {2, "ｼﾞｬﾝﾌﾟ - DATA(&D)", 40013, true},
    {2, "ｼﾞｬﾝﾌﾟ - LAST(&L)", 40019, true},
    {1, "指定ｸﾗｽﾀ(&C)", 40031, true},
    {1, "次のｸﾗｽﾀ(&X)", 40057, true},
    {1, "前のｸﾗｽﾀ(&V)", 40058, true},
    {1, "指定位置へ移動(&G)    Ctrl+G", 40066, true},
    {1, "-", 0, false},
    {1, "ﾌｫﾝﾄ ｻｲｽﾞ(&F)", 0, false},
    {2, "最大(&R)", 40025, true},
    {2, "大(&L)", 40026, true},
    {2, "中(&M)", 40027, true},
    {2, "小(&S)", 40028, true},
    {2, "最小(&A)", 40029, true},
    {1, "2ﾊﾞｲﾄ文字表示  Ctrl+K", 40040, true},
    {1, "ｽﾃｰﾀｽ ﾊﾞｰ(&T)", 40054, false},
    {1, "-", 0, false},
    {1, "ｵﾌﾟｼｮﾝ(&O)", 40020, false},
    {0, "ﾍﾙﾌﾟ(&H)", 0, false},
    {1, "ﾍﾙﾌﾟ情報(&H)", 40023, false},
    {1, "ﾊﾞｰｼﾞｮﾝ情報(&A)...", 40022, false},
};

class ExeMenu : public ::testing::Test {
protected:
    void SetUp() override
    {
        exe = loadVeldisExe();
        ASSERT_NE(exe, nullptr);
    }
    void TearDown() override { FreeLibrary(exe); }
    HMODULE exe = nullptr;
};

TEST_F(ExeMenu, ItemsTextsIdsAndStartingStates)
{
    HMENU menu = LoadMenuA(exe, "VELDIS");
    ASSERT_NE(menu, nullptr);
    std::vector<MenuEntry> items;
    walk(menu, 0, items);
    ASSERT_EQ(items.size(), EXPECTED_MENU.size());
    for (size_t i = 0; i < items.size(); i++) {
        EXPECT_EQ(items[i].depth, EXPECTED_MENU[i].depth) << i;
        EXPECT_EQ(items[i].text, EXPECTED_MENU[i].text) << i;
        EXPECT_EQ(items[i].id, EXPECTED_MENU[i].id) << i;
        EXPECT_EQ(items[i].grayed, EXPECTED_MENU[i].grayed) << items[i].text;
    }
    DestroyMenu(menu);
}

// The core's table starts as the menu does, so mirroring changes nothing at start.
TEST_F(ExeMenu, TheCommandTableStartsAsTheMenu)
{
    resetCommandStates();
    int commands = 0;
    for (const MenuEntry& item : EXPECTED_MENU) {
        if (item.id == 0) continue;
        commands++;
        EXPECT_EQ(isCommandEnabled(item.id), !item.grayed) << item.id;
    }
    EXPECT_EQ(commands, CMD_COUNT);
}

TEST_F(ExeMenu, Accelerators)
{
    HACCEL table = LoadAcceleratorsA(exe, "veldis");
    ASSERT_NE(table, nullptr);
    ACCEL entries[32];
    int count = CopyAcceleratorTableA(table, entries, 32);
    struct Expected {
        BYTE modifiers;
        WORD key;
        WORD command;
    } expected[] = {
        {FCONTROL, 'R', 40004}, {FCONTROL, 'W', 40005}, {FCONTROL, 'B', 40006},
        {FCONTROL, 'N', 40007}, {FCONTROL, 'L', 40008}, {FCONTROL, 'S', 40009},
        {FCONTROL, 'K', 40040}, {0, VK_F5, 40015},      {0, VK_F1, 40023},
        {FALT, VK_F4, 40021},     {FCONTROL, 'F', 40048}, {0, VK_F3, 40049},
        {FCONTROL, 'O', 40050}, {FCONTROL, 'Z', 40051}, {FCONTROL, 'Y', 40052},
        {FCONTROL, 'A', 40060}, {FCONTROL, 'C', 40061}, {FCONTROL, 'V', 40064},
        {FCONTROL, 'G', 40066},
    };
    ASSERT_EQ(count, 19);
    for (int i = 0; i < count; i++) {
        EXPECT_EQ(entries[i].fVirt & ~0x80, FVIRTKEY | expected[i].modifiers) << i;
        EXPECT_EQ(entries[i].key, expected[i].key) << i;
        EXPECT_EQ(entries[i].cmd, expected[i].command) << i;
    }
    DestroyAcceleratorTable(table);
}

TEST_F(ExeMenu, ReadDialogTemplate)
{
    DialogTemplate dialog;
    ASSERT_TRUE(readDialogTemplate(exe, "READ", dialog));
    EXPECT_EQ(dialog.title, "セクタ読込");
    EXPECT_EQ(dialog.fontPoints, 9);
    EXPECT_EQ(dialog.fontFace, "ＭＳ Ｐゴシック");
    std::vector<int> tabOrder;
    for (const DialogItem& item : dialog.items) {
        if (item.style & WS_TABSTOP) tabOrder.push_back(item.id);
        // Letters too: the number may be hexadecimal (0x1F, 1Fh).
        if (item.id == IDC_READ_SECTOR) {
            EXPECT_EQ(item.className, "Edit");
            EXPECT_FALSE(item.style & ES_NUMBER);
        }
        if (item.id == IDC_READ_DRIVE) {
            EXPECT_EQ(item.className, "ComboBox");
            EXPECT_EQ(item.style & 3, DWORD(CBS_DROPDOWNLIST));
            EXPECT_TRUE(item.style & CBS_SORT);
        }
        if (item.className == "Static") {
            EXPECT_TRUE(item.text == "ドライブ" || item.text == "セクタ") << item.text;
            EXPECT_EQ(item.style & SS_TYPEMASK, DWORD(SS_CENTER));
            EXPECT_TRUE(item.style & SS_SUNKEN);
        }
    }
    EXPECT_EQ(tabOrder, (std::vector<int>{IDC_READ_SECTOR, IDOK, IDCANCEL, IDC_READ_DRIVE}));
}

TEST_F(ExeMenu, AboutDialogTemplate)
{
    DialogTemplate dialog;
    ASSERT_TRUE(readDialogTemplate(exe, "VELDIS", dialog));
    EXPECT_EQ(dialog.title, "バージョン情報");
    EXPECT_EQ(dialog.fontPoints, 8);
    EXPECT_EQ(dialog.fontFace, "MS Sans Serif");
    ASSERT_EQ(dialog.items.size(), 3u);
    EXPECT_EQ(dialog.items[0].text, "VELDIS");  // the icon
    EXPECT_EQ(dialog.items[0].style & SS_TYPEMASK, DWORD(SS_ICON));
    EXPECT_EQ(dialog.items[1].text, "VELDIS.EXE Ver. 1.21");
    EXPECT_EQ(dialog.items[2].id, IDOK);
    EXPECT_EQ(dialog.items[2].style & BS_TYPEMASK, DWORD(BS_DEFPUSHBUTTON));
}

// Both image dialogs, control by control: kind, id, text, rectangle in
// dialog units, and the styles that matter.
TEST_F(ExeMenu, ImageDialogTemplates)
{
    struct Control {
        const char* className;
        int id;
        const char* text;
        RECT box;  // x, y, width, height
        DWORD style;
    };
    const DWORD LIST = CBS_DROPDOWNLIST | CBS_SORT, NUMBER = ES_NUMBER | ES_RIGHT;
    const std::vector<Control> head = {
        {"Button", -1, "ドライブ", {7, 7, 204, 78}, BS_GROUPBOX},
        {"ComboBox", IDC_IMAGE_DRIVE, "", {25, 24, 62, 59}, LIST},
        {"ComboBox", IDC_IMAGE_RANGE, "", {101, 23, 99, 59}, LIST},
        {"Static", -1, "開始セクタ", {26, 48, 45, 12}, 0},
        {"Edit", IDC_IMAGE_START, "", {30, 63, 74, 13}, NUMBER},
    };
    const std::vector<Control> count = {
        {"Static", -1, "～", {110, 65, 9, 12}, 0},
        {"Static", -1, "セクタ数", {119, 49, 45, 12}, 0},
        {"Edit", IDC_IMAGE_COUNT, "", {125, 62, 75, 13}, NUMBER},
    };
    auto tail = [](DWORD fileStyle) {
        return std::vector<Control>{
            {"Button", -1, "ファイル", {7, 92, 204, 39}, BS_GROUPBOX},
            {"Edit", IDC_IMAGE_FILE, "", {25, 108, 124, 13}, fileStyle},
            {"Button", IDC_IMAGE_BROWSE, "選択", {160, 108, 45, 14}, BS_PUSHBUTTON},
            {"msctls_progress32", IDC_IMAGE_PROGRESS, "", {7, 137, 204, 13}, 0},
            {"Button", IDOK, "実行", {107, 158, 45, 14}, BS_DEFPUSHBUTTON},
            {"Button", IDCANCEL, "戻る", {161, 158, 45, 14}, BS_PUSHBUTTON},
        };
    };
    struct Dialog {
        const char* name;
        const char* title;
        std::vector<Control> controls;
    };
    std::vector<Control> save = head, restore = head;
    std::vector<Control> saveTail = tail(0), restoreTail = tail(ES_READONLY);
    save.insert(save.end(), count.begin(), count.end());
    save.insert(save.end(), saveTail.begin(), saveTail.end());
    restore.insert(restore.end(), restoreTail.begin(), restoreTail.end());
    for (const Dialog& expected : {Dialog{"IMAGESAVE", "ドライブイメージの保存", save},
                                   Dialog{"IMAGELOAD", "ドライブイメージの復元", restore},
                                   Dialog{"IMAGEVERIFY", "ドライブイメージの照合", restore}}) {
        SCOPED_TRACE(expected.name);
        DialogTemplate dialog;
        ASSERT_TRUE(readDialogTemplate(exe, expected.name, dialog));
        EXPECT_EQ(dialog.title, expected.title);
        EXPECT_EQ(dialog.fontPoints, 9);
        EXPECT_EQ(dialog.fontFace, "ＭＳ Ｐゴシック");
        EXPECT_EQ(dialog.style & (DS_MODALFRAME | WS_CAPTION | WS_SYSMENU),
                  DWORD(DS_MODALFRAME | WS_CAPTION | WS_SYSMENU));
        ASSERT_EQ(dialog.items.size(), expected.controls.size());
        for (size_t i = 0; i < dialog.items.size(); i++) {
            const DialogItem& item = dialog.items[i];
            const Control& control = expected.controls[i];
            SCOPED_TRACE(control.text + std::to_string(control.id));
            EXPECT_EQ(lstrcmpiA(item.className.c_str(), control.className), 0) << item.className;
            EXPECT_EQ(item.id == 0xFFFF ? -1 : item.id, control.id);
            EXPECT_EQ(item.text, control.text);
            const RECT& box = control.box;
            EXPECT_EQ(item.box.left, box.left);
            EXPECT_EQ(item.box.top, box.top);
            EXPECT_EQ(item.box.right, box.left + box.right);
            EXPECT_EQ(item.box.bottom, box.top + box.bottom);
            DWORD mask = item.className == "Button" ? BS_TYPEMASK : control.style;
            if (item.className == "ComboBox") mask = 3 | CBS_SORT;
            EXPECT_EQ(item.style & mask, control.style);
            if (item.className == "Edit" && control.id == IDC_IMAGE_FILE) {
                EXPECT_EQ(item.style & (ES_READONLY | ES_NUMBER), control.style);
            }
        }
    }
}

// The find dialog: what each control is, in tab order, the kinds and the
// directions each a group of radio buttons of its own, the case a tab stop
// between them; its progress window is made hidden.
TEST_F(ExeMenu, FindDialogTemplates)
{
    DialogTemplate dialog;
    ASSERT_TRUE(readDialogTemplate(exe, "FIND", dialog));
    EXPECT_EQ(dialog.title, "検索");
    EXPECT_EQ(dialog.fontPoints, 9);
    EXPECT_EQ(dialog.fontFace, "ＭＳ Ｐゴシック");
    struct Control {
        int id;
        const char* text;
        DWORD type;  // the button type; 0 for others
        bool group, tab;
    };
    const Control expected[] = {
        {-1, "検索する値", 0, true, false},
        {IDC_FIND_TEXT, "", 0, false, true},
        {-1, "種類", BS_GROUPBOX, false, false},
        {IDC_FIND_HEX, "16進", BS_AUTORADIOBUTTON, true, true},
        {IDC_FIND_STRING, "文字列", BS_AUTORADIOBUTTON, false, false},
        {IDC_FIND_UTF16, "ＵＴＦ-16", BS_AUTORADIOBUTTON, false, false},
        {IDC_FIND_IGNORE_CASE, "大文字と小文字を区別しない", BS_AUTOCHECKBOX, true, true},
        {-1, "方向", BS_GROUPBOX, true, false},
        {IDC_FIND_DOWN, "下へ", BS_AUTORADIOBUTTON, true, true},
        {IDC_FIND_UP, "上へ", BS_AUTORADIOBUTTON, false, false},
        {IDOK, "OK", BS_DEFPUSHBUTTON, true, true},
        {IDCANCEL, "ｷｬﾝｾﾙ", BS_PUSHBUTTON, false, true},
    };
    ASSERT_EQ(dialog.items.size(), std::size(expected));
    for (size_t i = 0; i < dialog.items.size(); i++) {
        const DialogItem& item = dialog.items[i];
        SCOPED_TRACE(expected[i].text);
        EXPECT_EQ(item.id == 0xFFFF ? -1 : item.id, expected[i].id);
        EXPECT_EQ(item.text, expected[i].text);
        DWORD type = item.className == "Button" ? item.style & BS_TYPEMASK : 0;
        EXPECT_EQ(type, expected[i].type);
        EXPECT_EQ((item.style & WS_GROUP) != 0, expected[i].group);
        EXPECT_EQ((item.style & WS_TABSTOP) != 0, expected[i].tab);
    }
    EXPECT_EQ(dialog.items[1].className, "Edit");

    DialogTemplate progress;
    ASSERT_TRUE(readDialogTemplate(exe, "FINDRUN", progress));
    EXPECT_EQ(progress.title, "検索");
    EXPECT_EQ(progress.style & WS_VISIBLE, 0u);
    ASSERT_EQ(progress.items.size(), 3u);
    EXPECT_EQ(progress.items[1].id, IDC_IMAGE_PROGRESS);
    EXPECT_EQ(lstrcmpiA(progress.items[1].className.c_str(), "msctls_progress32"), 0);
    EXPECT_EQ(progress.items[2].id, IDCANCEL);
    EXPECT_EQ(progress.items[2].text, "中止");
}

}  // namespace
