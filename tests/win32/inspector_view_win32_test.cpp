#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/inspector_view_win32.h"
#include "app/main_commands.h"
#include "app/modeless_view_win32.h"
#include "app/platform_win32.h"
#include "dialog_template.h"
#include "editor/cursor.h"
#include "editor/data_inspector.h"
#include "editor/editor_state.h"
#include "editor/navigation.h"
#include "platform/commands.h"
#include "platform/common_controls_win32.h"
#include "platform/settings.h"
#include "res/resource.h"
#include "wine_editor.h"

namespace {

TEST(InspectorView, TemplateOfTheExe)
{
    HMODULE exe = loadVeldisExe();
    ASSERT_NE(exe, nullptr);
    DialogTemplate dialog;
    ASSERT_TRUE(readDialogTemplate(exe, "INSPECTOR", dialog));
    FreeLibrary(exe);
    EXPECT_EQ(dialog.title, "データインスペクタ");
    EXPECT_EQ(dialog.style & ~DWORD(DS_SETFONT),
              DWORD(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME));
    EXPECT_EQ(dialog.fontPoints, 9);
    EXPECT_EQ(dialog.fontFace, "ＭＳ Ｐゴシック");
    ASSERT_EQ(dialog.items.size(), 1u);
    EXPECT_EQ(lstrcmpiA(dialog.items[0].className.c_str(), "SysListView32"), 0);
    EXPECT_EQ(dialog.items[0].id, IDC_INSPECT_LIST);
    EXPECT_EQ(dialog.items[0].style & LVS_TYPEMASK, DWORD(LVS_REPORT));
}

// The window over an owner standing for the main window, on an image whose
// sector 0 holds 01 23 45 67 89 AB CD EF at 0x10.
class InspectorViewOnWine : public ::testing::Test {
protected:
    void SetUp() override
    {
        installWineEditor();
        settings = Settings{};
        settings.fontSize = 2;
        settings.inspectorLeft = 110, settings.inspectorTop = 130;
        settings.inspectorWidth = 380, settings.inspectorHeight = 460;
        ASSERT_NE(loadCommonControls(), nullptr);
        exe = loadVeldisExe();
        ASSERT_NE(exe, nullptr);
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "VeldisInspectorOwner";
        RegisterClassA(&windowClass);
        mainWindow = CreateWindowExA(0, "VeldisInspectorOwner", "Veldis", WS_OVERLAPPEDWINDOW,
                                     0, 0, 400, 300, nullptr, nullptr, windowClass.hInstance,
                                     nullptr);
        ASSERT_NE(mainWindow, nullptr);
        ShowWindow(mainWindow, SW_SHOWNOACTIVATE);
        allowModelessViews(mainWindow, exe);

        char folder[MAX_PATH];
        GetTempPathA(sizeof folder, folder);
        image = std::string(folder) + "veldis-inspector-test.img";
        std::vector<uint8_t> bytes(8 * 512, 0);
        const uint8_t planted[] = {0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF};
        for (int k = 0; k < 8; k++) bytes[0x10 + k] = planted[k];
        FILE* file = std::fopen(image.c_str(), "wb");
        ASSERT_NE(file, nullptr);
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
        ASSERT_TRUE(openImageFile(image.c_str()));
    }
    void TearDown() override
    {
        showInspectorView(false);
        allowModelessViews(nullptr, nullptr);
        DestroyWindow(mainWindow);
        mainWindow = nullptr;
        FreeLibrary(exe);
        SectorIo::closeImage();
        DeleteFileA(image.c_str());
    }

    HWND list() { return GetDlgItem(inspectorViewWindow(), IDC_INSPECT_LIST); }

    std::string cell(int row, int column)
    {
        char text[64] = "";
        LVITEMA item = {};
        item.iSubItem = column;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        SendMessageA(list(), LVM_GETITEMTEXTA, row, LPARAM(&item));
        return text;
    }

    std::vector<std::string> column(int index)
    {
        std::vector<std::string> texts(SendMessageA(list(), LVM_GETITEMCOUNT, 0, 0));
        for (size_t k = 0; k < texts.size(); k++) texts[k] = cell(int(k), index);
        return texts;
    }

    std::vector<std::string> headers()
    {
        std::vector<std::string> texts;
        for (int k = 0; k < 4; k++) {
            char text[64] = "";
            LVCOLUMNA header = {};
            header.mask = LVCF_TEXT;
            header.pszText = text;
            header.cchTextMax = sizeof text;
            if (!SendMessageA(list(), LVM_GETCOLUMNA, k, LPARAM(&header))) break;
            texts.push_back(text);
        }
        return texts;
    }

    void caretOn(int offset)
    {
        editor.cursorLine = offset / 16;
        editor.cursorColumn = offset % 16;
        placeCaret(false);
    }

    HMODULE exe = nullptr;
    std::string image;
};

// The rows' places in the list.
constexpr int ROW_U8 = 0, ROW_S16_LE = 3, ROW_HEX16_LE = 15, ROW_HEX64_BE = 20;
constexpr int ROW_UNIX64 = 24;

TEST_F(InspectorViewOnWine, TheCommandShowsTheRowsAtTheCaretBesideTheMainWindow)
{
    caretOn(0x10);
    runCommand(CMD_DATA_INSPECTOR);
    EXPECT_TRUE(isCommandChecked(CMD_DATA_INSPECTOR));
    HWND view = inspectorViewWindow();
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(IsWindowVisible(view));
    EXPECT_EQ(GetWindow(view, GW_OWNER), mainWindow);
    EXPECT_NE(GetActiveWindow(), view);  // the dump keeps the keyboard
    char title[64] = "";
    GetWindowTextA(view, title, sizeof title);
    EXPECT_STREQ(title, "データインスペクタ");
    RECT frame;
    GetWindowRect(view, &frame);
    EXPECT_EQ(frame.left, 110);
    EXPECT_EQ(frame.top, 130);
    EXPECT_EQ(frame.right - frame.left, 380);
    EXPECT_EQ(frame.bottom - frame.top, 460);

    EXPECT_EQ(headers(), (std::vector<std::string>{"種類", "値"}));
    std::vector<std::string> names;
    for (int row = 0; row < INSPECTOR_ROW_COUNT; row++) names.push_back(inspectorRowName(row));
    EXPECT_EQ(column(0), names);
    EXPECT_EQ(cell(ROW_U8, 1), "1");
    EXPECT_EQ(cell(ROW_S16_LE, 1), "8961");
    EXPECT_EQ(cell(ROW_HEX64_BE, 1), "0123456789ABCDEFh");
}

TEST_F(InspectorViewOnWine, TheRowsFollowTheCaretAndTheEdits)
{
    runCommand(CMD_DATA_INSPECTOR);
    ASSERT_NE(inspectorViewWindow(), nullptr);
    EXPECT_EQ(cell(ROW_HEX64_BE, 1), "0000000000000000h");
    EXPECT_EQ(cell(ROW_UNIX64, 1), "1970/01/01 00:00:00 UTC");

    caretOn(0x17);
    EXPECT_EQ(cell(ROW_U8, 1), "239");
    EXPECT_EQ(cell(ROW_HEX16_LE, 1), "00EFh");

    caretOn(0x1FF);  // the last byte: only the 8-bit rows have a value
    std::vector<std::string> values = column(1);
    ASSERT_EQ(values.size(), size_t(INSPECTOR_ROW_COUNT));
    EXPECT_EQ(values[ROW_U8], "0");
    EXPECT_EQ(values[ROW_HEX16_LE], "");
    EXPECT_EQ(values[ROW_HEX64_BE], "");

    caretOn(0x10);
    editor.cursorInText = 0;
    editor.cursorNibble = 0;
    onChar('F');  // the byte becomes F1
    caretOn(0x10);
    EXPECT_EQ(cell(ROW_U8, 1), "241");
    EXPECT_EQ(cell(ROW_HEX64_BE, 1), "F123456789ABCDEFh");
}

TEST_F(InspectorViewOnWine, TheListTakesTheWindowAndItsPlaceIsKept)
{
    runCommand(CMD_DATA_INSPECTOR);
    HWND view = inspectorViewWindow();
    ASSERT_NE(view, nullptr);
    SetWindowPos(view, nullptr, 210, 220, 330, 400, SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(settings.inspectorLeft, 210);
    EXPECT_EQ(settings.inspectorTop, 220);
    EXPECT_EQ(settings.inspectorWidth, 330);
    EXPECT_EQ(settings.inspectorHeight, 400);
    RECT client, listBox;
    GetClientRect(view, &client);
    GetWindowRect(list(), &listBox);
    MapWindowPoints(nullptr, view, reinterpret_cast<POINT*>(&listBox), 2);
    EXPECT_EQ(listBox.left, 0);
    EXPECT_EQ(listBox.top, 0);
    EXPECT_EQ(listBox.right, client.right);
    EXPECT_EQ(listBox.bottom, client.bottom);

    enableInspectorView(false);
    EXPECT_FALSE(IsWindowEnabled(view));
    enableInspectorView(true);
    EXPECT_TRUE(IsWindowEnabled(view));
}

// The close box and Esc turn the inspector off, as the command does.
TEST_F(InspectorViewOnWine, TheCloseBoxUnchecksTheCommand)
{
    for (UINT message : {UINT(WM_CLOSE), UINT(WM_COMMAND)}) {
        runCommand(CMD_DATA_INSPECTOR);
        HWND view = inspectorViewWindow();
        ASSERT_NE(view, nullptr);
        ASSERT_TRUE(isCommandChecked(CMD_DATA_INSPECTOR));
        SendMessageA(view, message, message == WM_COMMAND ? IDCANCEL : 0, 0);
        EXPECT_EQ(inspectorViewWindow(), nullptr) << message;
        EXPECT_FALSE(IsWindow(view)) << message;
        EXPECT_EQ(settings.inspectorView, 0) << message;
        EXPECT_FALSE(isCommandChecked(CMD_DATA_INSPECTOR)) << message;
    }
}

}  // namespace
