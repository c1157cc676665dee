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
    {1, "-", 0, false},
    {1, "ﾀﾞﾝﾌﾟ情報(&D)", 0, false},
    {2, "ﾃｷｽﾄﾌｧｲﾙに保存(&T)", 40044, true},
    {2, "ｸﾘｯﾌﾟﾎﾞｰﾄﾞに保存(&C)", 40045, true},
    {1, "-", 0, false},
    {1, "ﾄﾞﾗｲﾌﾞｲﾒｰｼﾞの保存(&I)", 40041, false},
    {1, "ﾄﾞﾗｲﾌﾞｲﾒｰｼﾞの復元(&U)", 40042, false},
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
    {0, "表示(&V)", 0, false},
    {1, "全ﾄﾞﾗｲﾌﾞ情報(&A)", 40046, false},
    {1, "選択ﾄﾞﾗｲﾌﾞ情報(&I)", 40037, true},
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
    {1, "-", 0, false},
    {1, "ﾌｫﾝﾄ ｻｲｽﾞ(&F)", 0, false},
    {2, "最大(&R)", 40025, true},
    {2, "大(&L)", 40026, true},
    {2, "中(&M)", 40027, true},
    {2, "小(&S)", 40028, true},
    {2, "最小(&A)", 40029, true},
    {1, "2ﾊﾞｲﾄ文字表示  Ctrl+K", 40040, true},
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
        {FALT, VK_F4, 40021},
    };
    ASSERT_EQ(count, 10);
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
        if (item.id == IDC_READ_SECTOR) {
            EXPECT_EQ(item.className, "Edit");
            EXPECT_TRUE(item.style & ES_NUMBER);
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

}  // namespace
