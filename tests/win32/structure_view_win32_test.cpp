#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/modeless_view_win32.h"
#include "app/platform_win32.h"
#include "app/structure_view_win32.h"
#include "dialog_template.h"
#include "editor/editor_state.h"
#include "editor/navigation.h"
#include "editor/sector_structure.h"
#include "editor/structure_rows.h"
#include "platform/commands.h"
#include "platform/common_controls_win32.h"
#include "platform/platform.h"
#include "platform/settings.h"
#include "res/resource.h"
#include "wine_editor.h"

namespace {

TEST(StructureView, TemplateOfTheExe)
{
    HMODULE exe = loadVeldisExe();
    ASSERT_NE(exe, nullptr);
    DialogTemplate dialog;
    ASSERT_TRUE(readDialogTemplate(exe, "STRUCTURE", dialog));
    FreeLibrary(exe);
    EXPECT_EQ(dialog.title, "セクタの構造");
    EXPECT_EQ(dialog.style & ~DWORD(DS_SETFONT),
              DWORD(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME));
    EXPECT_EQ(dialog.fontPoints, 9);
    EXPECT_EQ(dialog.fontFace, "ＭＳ Ｐゴシック");
    ASSERT_EQ(dialog.items.size(), 2u);
    EXPECT_EQ(dialog.items[0].className, "Static");
    EXPECT_EQ(dialog.items[0].id, IDC_STRUCT_TITLE);
    EXPECT_TRUE(dialog.items[0].style & SS_NOPREFIX);
    EXPECT_EQ(lstrcmpiA(dialog.items[1].className.c_str(), "SysListView32"), 0);
    EXPECT_EQ(dialog.items[1].id, IDC_STRUCT_LIST);
    const DWORD list = LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_BORDER | WS_TABSTOP;
    EXPECT_EQ(dialog.items[1].style & list, list);
    EXPECT_LT(dialog.items[0].box.bottom, dialog.items[1].box.top + 1);
}

// Windows' own table for code page 932, and a default character for the rest.
TEST(ShiftJisText, FromUtf16)
{
    installWin32Platform();
    struct Case {
        std::vector<uint16_t> units;
        uint32_t size;
        bool exact;
        const char* text;
    } cases[] = {
        {{'A', 'B', '.', 'T', 'X', 'T'}, 16, true, "AB.TXT"},
        {{0x6F22, 0x5B57, 0xFF71}, 16, true, "漢字ｱ"},
        {{'a', 0x0E01, 'b'}, 16, false, "a?b"},    // Thai: none in Shift-JIS
        {{'a', 0xD83D, 0xDE00}, 16, false, "a?"},  // beyond the BMP
        {{}, 4, true, ""},
        {{0x6F22, 0x5B57}, 4, false, ""},  // four bytes and no room for the end
        {{'x'}, 1, false, ""},
    };
    for (const Case& c : cases) {
        char text[16];
        std::memset(text, 'Z', sizeof text);
        bool exact = platform.utf16ToShiftJis(c.units.data(), uint32_t(c.units.size()), text,
                                              c.size);
        EXPECT_EQ(exact, c.exact) << c.text;
        // Windows may give one '?' or two for a pair of surrogates.
        std::string expected = c.text, got = text;
        if (expected == "a?") got = got.substr(0, 2);
        EXPECT_EQ(got, expected);
    }
}

const char* const FIELD_NAMES[] = {"ｵﾌｾｯﾄ", "名前", "値", "意味"};
const char* const ENTRY_NAMES[] = {"番号", "次"};

// The view of a test-made structure, over an owner standing for the main
// window; the core's own decoding stays off (no view in the settings) so the
// rows stay as made here.
class StructureViewOnWine : public ::testing::Test {
protected:
    void SetUp() override
    {
        installWineEditor();
        settings = Settings{};
        settings.structureLeft = 100, settings.structureTop = 120;
        settings.structureWidth = 420, settings.structureHeight = 300;
        ASSERT_NE(loadCommonControls(), nullptr);
        exe = loadVeldisExe();
        ASSERT_NE(exe, nullptr);
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "VeldisStructureOwner";
        RegisterClassA(&windowClass);
        mainWindow = CreateWindowExA(0, "VeldisStructureOwner", "Veldis", WS_OVERLAPPEDWINDOW,
                                     0, 0, 400, 300, nullptr, nullptr, windowClass.hInstance,
                                     nullptr);
        ASSERT_NE(mainWindow, nullptr);
        ShowWindow(mainWindow, SW_SHOWNOACTIVATE);
        allowModelessViews(mainWindow, exe);
    }
    void TearDown() override
    {
        showStructureView(false);
        allowModelessViews(nullptr, nullptr);
        DestroyWindow(mainWindow);
        mainWindow = nullptr;
        FreeLibrary(exe);
        SectorIo::closeImage();
        if (!image.empty()) DeleteFileA(image.c_str());
    }

    // Rows of `columns` cells "r.c" at offsets 16 apart, 4 bytes each; row r
    // opens sector r + 1.
    void makeRows(const char* const* headers, int32_t columns, uint32_t rows, uint32_t generation,
                  int32_t caretRow)
    {
        sectorStructure.rowCount = 0;
        setStructureColumns(headers, columns);
        setStructureTitle("表 %d", int(columns));
        for (uint32_t r = 0; r < rows; r++) {
            StructureRow* row = addStructureRow(16 * r, 4);
            row->target = r + 1;
            for (int32_t c = 0; c < columns; c++) addCell(*row, "%u.%d", unsigned(r), int(c));
        }
        sectorStructure.generation = generation;
        sectorStructure.caretRow = caretRow;
    }

    HWND list() { return GetDlgItem(structureViewWindow(), IDC_STRUCT_LIST); }

    std::vector<std::string> headers()
    {
        HWND header = HWND(SendMessageA(list(), LVM_GETHEADER, 0, 0));
        std::vector<std::string> texts(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0));
        for (size_t k = 0; k < texts.size(); k++) {
            char text[64] = "";
            LVCOLUMNA column = {};
            column.mask = LVCF_TEXT;
            column.pszText = text;
            column.cchTextMax = sizeof text;
            SendMessageA(list(), LVM_GETCOLUMNA, k, LPARAM(&column));
            texts[k] = text;
        }
        return texts;
    }

    // Each row's cells joined by '|'.
    std::vector<std::string> rows()
    {
        std::vector<std::string> lines(SendMessageA(list(), LVM_GETITEMCOUNT, 0, 0));
        size_t columns = headers().size();
        for (size_t k = 0; k < lines.size(); k++)
            for (size_t column = 0; column < columns; column++) {
                char text[64] = "";
                LVITEMA item = {};
                item.iSubItem = int(column);
                item.pszText = text;
                item.cchTextMax = sizeof text;
                SendMessageA(list(), LVM_GETITEMTEXTA, k, LPARAM(&item));
                lines[k] += (column == 0 ? "" : "|") + std::string(text);
            }
        return lines;
    }

    int selectedRow()
    {
        return int(SendMessageA(list(), LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED));
    }

    std::string title()
    {
        char text[STRUCTURE_TITLE_SIZE] = "";
        GetDlgItemTextA(structureViewWindow(), IDC_STRUCT_TITLE, text, sizeof text);
        return text;
    }

    // As a click on the row would.
    void chooseRow(int row)
    {
        LVITEMA chosen = {};
        chosen.stateMask = chosen.state = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageA(list(), LVM_SETITEMSTATE, row, LPARAM(&chosen));
    }

    void openImage(uint32_t sectors)
    {
        char folder[MAX_PATH];
        GetTempPathA(sizeof folder, folder);
        image = std::string(folder) + "veldis-structure-test.img";
        std::vector<uint8_t> bytes(sectors * 512, 0);
        for (uint32_t k = 0; k < sectors; k++) bytes[k * 512] = uint8_t(k);
        FILE* file = std::fopen(image.c_str(), "wb");
        ASSERT_NE(file, nullptr);
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
        ASSERT_TRUE(openImageFile(image.c_str()));
    }

    HMODULE exe = nullptr;
    std::string image;
};

TEST_F(StructureViewOnWine, ShowsEachKindsColumnsAndRowsAndSelectsTheCaretRow)
{
    makeRows(FIELD_NAMES, 4, 3, 1, 1);
    platform.showStructure(true);
    HWND view = structureViewWindow();
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(IsWindowVisible(view));
    EXPECT_EQ(GetWindow(view, GW_OWNER), mainWindow);
    EXPECT_NE(GetActiveWindow(), view);  // the dump keeps the keyboard
    RECT frame;
    GetWindowRect(view, &frame);
    EXPECT_EQ(frame.left, 100);
    EXPECT_EQ(frame.top, 120);
    EXPECT_EQ(frame.right - frame.left, 420);
    EXPECT_EQ(frame.bottom - frame.top, 300);
    EXPECT_EQ(headers(), (std::vector<std::string>{"ｵﾌｾｯﾄ", "名前", "値", "意味"}));
    EXPECT_EQ(rows(), (std::vector<std::string>{"0.0|0.1|0.2|0.3", "1.0|1.1|1.2|1.3",
                                                "2.0|2.1|2.2|2.3"}));
    EXPECT_EQ(title(), "表 4");
    EXPECT_EQ(selectedRow(), 1);

    makeRows(ENTRY_NAMES, 2, 5, 2, -1);
    platform.showStructure(true);
    EXPECT_EQ(structureViewWindow(), view);
    EXPECT_EQ(headers(), (std::vector<std::string>{"番号", "次"}));
    EXPECT_EQ(rows(), (std::vector<std::string>{"0.0|0.1", "1.0|1.1", "2.0|2.1", "3.0|3.1",
                                                "4.0|4.1"}));
    EXPECT_EQ(title(), "表 2");
    EXPECT_EQ(selectedRow(), -1);

    // The same generation: the rows stay as listed, only the caret's moves.
    addCell(sectorStructure.rows[0], "extra");
    sectorStructure.rows[0].cellStart[0] = sectorStructure.rows[0].cellStart[2];
    sectorStructure.caretRow = 3;
    platform.showStructure(true);
    EXPECT_EQ(rows()[0], "0.0|0.1");
    EXPECT_EQ(selectedRow(), 3);
}

TEST_F(StructureViewOnWine, TheListTakesTheWindowBelowTheTitleAndItsPlaceIsKept)
{
    makeRows(FIELD_NAMES, 4, 3, 1, -1);
    platform.showStructure(true);
    HWND view = structureViewWindow();
    ASSERT_NE(view, nullptr);
    SetWindowPos(view, nullptr, 200, 210, 500, 360, SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(settings.structureLeft, 200);
    EXPECT_EQ(settings.structureTop, 210);
    EXPECT_EQ(settings.structureWidth, 500);
    EXPECT_EQ(settings.structureHeight, 360);
    RECT client, listBox, titleBox;
    GetClientRect(view, &client);
    GetWindowRect(list(), &listBox);
    GetWindowRect(GetDlgItem(view, IDC_STRUCT_TITLE), &titleBox);
    MapWindowPoints(nullptr, view, reinterpret_cast<POINT*>(&listBox), 2);
    MapWindowPoints(nullptr, view, reinterpret_cast<POINT*>(&titleBox), 2);
    EXPECT_GE(listBox.top, titleBox.bottom);
    EXPECT_EQ(listBox.left, 0);
    EXPECT_EQ(listBox.right, client.right);
    EXPECT_EQ(listBox.bottom, client.bottom);

    enableStructureView(false);
    EXPECT_FALSE(IsWindowEnabled(view));
    enableStructureView(true);
    EXPECT_TRUE(IsWindowEnabled(view));
}

TEST_F(StructureViewOnWine, TheUsersRowMovesTheCaretAndEnterOpensItsSector)
{
    openImage(16);
    makeRows(FIELD_NAMES, 4, 6, 1, 0);
    sectorStructure.rows[2].offset = 0x25;
    platform.showStructure(true);
    ASSERT_NE(structureViewWindow(), nullptr);
    chooseRow(2);
    EXPECT_EQ(editor.cursorLine, 2);
    EXPECT_EQ(editor.cursorColumn, 5);

    sectorStructure.caretRow = 4;
    platform.showStructure(true);
    EXPECT_EQ(selectedRow(), 4);
    EXPECT_EQ(editor.cursorLine, 2);  // not the user's choice

    chooseRow(3);
    SendMessageA(structureViewWindow(), WM_COMMAND, IDOK, 0);
    EXPECT_EQ(editor.currentSector, 4u);
    EXPECT_EQ(editor.workBuffer[0], 4);
}

TEST_F(StructureViewOnWine, TheCloseBoxTurnsTheViewOff)
{
    settings.structureView = 1;
    setCommandChecked(CMD_STRUCTURE_VIEW, true);
    makeRows(ENTRY_NAMES, 2, 2, 1, -1);
    platform.showStructure(true);
    HWND view = structureViewWindow();
    ASSERT_NE(view, nullptr);
    SendMessageA(view, WM_CLOSE, 0, 0);
    EXPECT_EQ(structureViewWindow(), nullptr);
    EXPECT_FALSE(IsWindow(view));
    EXPECT_EQ(settings.structureView, 0);
    EXPECT_FALSE(isCommandChecked(CMD_STRUCTURE_VIEW));

    // Made again, it lists the rows afresh.
    platform.showStructure(true);
    ASSERT_NE(structureViewWindow(), nullptr);
    EXPECT_EQ(rows(), (std::vector<std::string>{"0.0|0.1", "1.0|1.1"}));
}

}  // namespace
