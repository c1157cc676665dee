#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "app/platform_win32.h"
#include "dialog_hook.h"
#include "dialog_template.h"
#include "editor/editor_state.h"
#include "editor/value_edit_dialog_win32.h"
#include "editor/value_text.h"
#include "res/resource.h"

namespace {

TEST(ValueEditDialog, TemplateOfTheExe)
{
    HMODULE exe = loadVeldisExe();
    DialogTemplate dialog;
    ASSERT_TRUE(readDialogTemplate(exe, "EDIT", dialog));
    FreeLibrary(exe);
    EXPECT_EQ(dialog.title, "エディット");
    EXPECT_EQ(dialog.fontFace, "ＭＳ Ｐゴシック");
    std::vector<int> ids;
    for (const DialogItem& item : dialog.items) ids.push_back(item.id);
    // Template order is the tab order, the cancel button first.
    EXPECT_EQ(ids, (std::vector<int>{IDCANCEL, IDC_VALUE_HEX, IDC_VALUE_DECIMAL, IDC_VALUE_BINARY,
                                     IDOK, 0xFFFF, 0xFFFF, 0xFFFF}));
    EXPECT_EQ(dialog.items[0].text, "ｷｬﾝｾﾙ");
    EXPECT_TRUE(dialog.items[1].style & ES_UPPERCASE);
    EXPECT_EQ(dialog.items[6].text, "10進数");
    EXPECT_EQ(dialog.items[7].text, "２進数");
}

struct Shown {
    std::string hex, decimal, binary;
};

Shown shownTexts(HWND dialog)
{
    char texts[3][64] = {};
    GetDlgItemTextA(dialog, IDC_VALUE_HEX, texts[0], 64);
    GetDlgItemTextA(dialog, IDC_VALUE_DECIMAL, texts[1], 64);
    GetDlgItemTextA(dialog, IDC_VALUE_BINARY, texts[2], 64);
    return {texts[0], texts[1], texts[2]};
}

std::string joined(const Shown& s)
{
    return s.hex + " / " + s.decimal + " / " + s.binary;
}

// Keystrokes as the keyboard sends them, at the end of the box's text or
// over all of it.
void typeInto(HWND dialog, int id, const char* keys, bool replace)
{
    HWND box = GetDlgItem(dialog, id);
    SetFocus(box);
    SendMessageA(box, EM_SETSEL, replace ? 0 : 0x7FFF, replace ? -1 : 0x7FFF);
    for (const char* key = keys; *key != '\0'; key++) SendMessageA(box, WM_CHAR, WPARAM(*key), 1);
}

class ValueEditDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        installWin32Platform();
        resetEditor();
        editor.source = driveSource(0);
        editor.sectorSize = 512;
        editor.lineCount = 32;
        editor.cursorLine = 2;
        editor.cursorColumn = 5;
        editor.workBuffer[37] = 0x41;
        editor.workBuffer[38] = 0x77;
        valueEdit.width = 1;
        exe = loadVeldisExe();
    }
    void TearDown() override { FreeLibrary(exe); }
    HMODULE exe = nullptr;
    std::vector<std::string> boxes;
};

// Enter on the first focus, the cancel button, stores nothing.
TEST_F(ValueEditDialogTest, OpensOnTheValueWithTheFocusOnCancel)
{
    std::string opened;
    int focused = 0;
    runDialog(exe, "EDIT", valueEditDialogProc, {[&](HWND dialog) {
                  opened = joined(shownTexts(dialog));
                  focused = GetDlgCtrlID(GetFocus());
                  PostMessageA(GetFocus(), WM_KEYDOWN, VK_RETURN, 1);
              }},
              boxes);
    EXPECT_EQ(opened, "41 / 65 / 1000001");
    EXPECT_EQ(focused, IDCANCEL);
    EXPECT_EQ(editor.workBuffer[37], 0x41);
}

TEST_F(ValueEditDialogTest, TypingIsCarriedOverOrTakenBack)
{
    std::vector<std::string> seen;
    runDialog(exe, "EDIT", valueEditDialogProc, {[&](HWND dialog) {
                  auto look = [&] { seen.push_back(joined(shownTexts(dialog))); };
                  typeInto(dialog, IDC_VALUE_HEX, "ff", true);
                  look();
                  typeInto(dialog, IDC_VALUE_HEX, "1", false);  // a third hex digit
                  look();
                  typeInto(dialog, IDC_VALUE_BINARY, "0", false);  // a ninth binary digit
                  look();
                  typeInto(dialog, IDC_VALUE_DECIMAL, "\b", true);  // cleared
                  look();
                  typeInto(dialog, IDC_VALUE_DECIMAL, "256", false);
                  look();
                  // Text set while another box has the focus causes nothing.
                  SetDlgItemTextA(dialog, IDC_VALUE_HEX, "7");
                  look();
                  PostMessageA(GetDlgItem(dialog, IDC_VALUE_DECIMAL), WM_KEYDOWN, VK_RETURN, 1);
              }},
              boxes);
    EXPECT_EQ(seen, (std::vector<std::string>{
                        "FF / 255 / 11111111", "FF / 255 / 11111111", "FF / 255 / 11111111",
                        "0 /  / 0", "19 / 25 / 11001", "7 / 25 / 11001"}));
    EXPECT_EQ(editor.workBuffer[37], 25);  // OK reads the decimal box
    EXPECT_EQ(editor.workBuffer[38], 0x77);
}

}  // namespace
