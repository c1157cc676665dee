#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/platform_win32.h"
#include "dialog_hook.h"
#include "dialog_template.h"
#include "editor/cursor.h"
#include "editor/editor_state.h"
#include "editor/fill.h"
#include "editor/fill_dialog_win32.h"
#include "platform/messages.h"
#include "res/resource.h"

namespace {

TEST(FillDialog, TemplateOfTheExe)
{
    HMODULE exe = loadVeldisExe();
    DialogTemplate dialog;
    ASSERT_TRUE(readDialogTemplate(exe, "FILL", dialog));
    FreeLibrary(exe);
    EXPECT_EQ(dialog.title, "埋める");
    EXPECT_EQ(dialog.fontFace, "ＭＳ Ｐゴシック");
    std::vector<int> ids;
    std::vector<std::string> texts;
    for (const DialogItem& item : dialog.items) {
        ids.push_back(item.id);
        texts.push_back(item.text);
    }
    EXPECT_EQ(ids, (std::vector<int>{0xFFFF, IDC_FILL_BYTES, IDOK, IDCANCEL}));
    EXPECT_EQ(texts, (std::vector<std::string>{"埋めるバイト（16進）:", "", "OK", "ｷｬﾝｾﾙ"}));
    EXPECT_EQ(dialog.items[1].className, "Edit");
    EXPECT_TRUE(dialog.items[1].style & WS_TABSTOP);
    EXPECT_EQ(dialog.items[2].style & BS_DEFPUSHBUTTON, DWORD(BS_DEFPUSHBUTTON));
}

class FillDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        installWin32Platform();
        resetEditor();
        editor.source = driveSource(0);
        editor.sectorSize = 512;
        editor.lineCount = 32;
        selectBytes(0x10, 0x14);
        exe = loadVeldisExe();
    }
    void TearDown() override { FreeLibrary(exe); }
    std::vector<uint8_t> filled() { return {editor.workBuffer + 0x0F, editor.workBuffer + 0x16}; }
    HMODULE exe = nullptr;
    std::vector<std::string> boxes;
};

// Opened on the last text, all of it selected, so that typing replaces it.
TEST_F(FillDialogTest, OffersTheLastTextAndFillsOnOk)
{
    std::string offered;
    DWORD selectionEnd = 0;
    int focused = 0;
    runDialog(exe, "FILL", fillDialogProc, {[&](HWND dialog) {
                  char text[FILL_TEXT_SIZE] = "";
                  GetDlgItemTextA(dialog, IDC_FILL_BYTES, text, sizeof text);
                  offered = text;
                  focused = GetDlgCtrlID(GetFocus());
                  SendMessageA(GetFocus(), EM_GETSEL, 0, LPARAM(&selectionEnd));
                  PostMessageA(GetFocus(), WM_KEYDOWN, VK_RETURN, 1);
              }},
              boxes);
    EXPECT_EQ(offered, "00");
    EXPECT_EQ(focused, IDC_FILL_BYTES);
    EXPECT_EQ(selectionEnd, 2u);
    EXPECT_TRUE(boxes.empty());

    std::memset(editor.workBuffer, 0x55, 512);
    std::strcpy(fillText, "12 34");
    runDialog(exe, "FILL", fillDialogProc, {[&](HWND dialog) {
                  SetDlgItemTextA(dialog, IDC_FILL_BYTES, "ab cd ef");
                  PostMessageA(dialog, WM_COMMAND, IDOK, 0);
              }},
              boxes);
    EXPECT_EQ(filled(), (std::vector<uint8_t>{0x55, 0xAB, 0xCD, 0xEF, 0xAB, 0xCD, 0x55}));
    EXPECT_STREQ(fillText, "AB CD EF");  // the box writes capitals
}

// A text that is no hex is said, and the dialog stays for another; Cancel
// fills nothing.
TEST_F(FillDialogTest, RefusedTextKeepsTheDialogOpen)
{
    HWND fill = nullptr;
    std::string kept;
    std::strcpy(fillText, "00");
    runDialog(exe, "FILL", fillDialogProc,
              {[&](HWND dialog) {
                   fill = dialog;
                   SetDlgItemTextA(dialog, IDC_FILL_BYTES, "E5 0");
                   PostMessageA(dialog, WM_COMMAND, IDOK, 0);
               },
               [&](HWND box) {
                   pressEnter(box);
                   PostMessageA(fill, WM_COMMAND, IDCANCEL, 0);
               }},
              boxes);
    EXPECT_EQ(boxes, (std::vector<std::string>{messageText(MSG_FILL_NOT_HEX)}));
    EXPECT_EQ(filled(), std::vector<uint8_t>(7, 0));
    EXPECT_STREQ(fillText, "00");

    boxes.clear();
    runDialog(exe, "FILL", fillDialogProc,
              {[&](HWND dialog) {
                   fill = dialog;
                   SetDlgItemTextA(dialog, IDC_FILL_BYTES, "0xE5 ?");
                   PostMessageA(dialog, WM_COMMAND, IDOK, 0);
               },
               [&](HWND box) {
                   pressEnter(box);
                   char text[FILL_TEXT_SIZE] = "";
                   GetDlgItemTextA(fill, IDC_FILL_BYTES, text, sizeof text);
                   kept = text;
                   SetDlgItemTextA(fill, IDC_FILL_BYTES, "E5");
                   PostMessageA(fill, WM_COMMAND, IDOK, 0);
               }},
              boxes);
    EXPECT_EQ(kept, "0XE5 ?");
    EXPECT_EQ(boxes.size(), 1u);
    EXPECT_EQ(filled(), (std::vector<uint8_t>{0, 0xE5, 0xE5, 0xE5, 0xE5, 0xE5, 0}));
}

}  // namespace
