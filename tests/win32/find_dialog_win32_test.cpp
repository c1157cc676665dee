#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/platform_win32.h"
#include "dialog_hook.h"
#include "dialog_template.h"
#include "platform/platform.h"
#include "res/resource.h"
#include "search/find.h"
#include "search/find_dialog_win32.h"

namespace {

void click(HWND dialog, int id)
{
    SendDlgItemMessageA(dialog, id, BM_CLICK, 0, 0);
}

bool enabled(HWND dialog, int id)
{
    return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE;
}

bool checked(HWND dialog, int id)
{
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

// What the dialog showed after each step.
struct Shown {
    bool utf16, caseChecked, caseEnabled, ok;
};

Shown shown(HWND dialog)
{
    return {checked(dialog, IDC_FIND_UTF16), checked(dialog, IDC_FIND_IGNORE_CASE),
            enabled(dialog, IDC_FIND_IGNORE_CASE), enabled(dialog, IDOK)};
}

bool operator==(const Shown& a, const Shown& b)
{
    return a.utf16 == b.utf16 && a.caseChecked == b.caseChecked &&
           a.caseEnabled == b.caseEnabled && a.ok == b.ok;
}

std::ostream& operator<<(std::ostream& out, const Shown& s)
{
    return out << "{utf16 " << s.utf16 << ", case checked " << s.caseChecked << ", enabled "
               << s.caseEnabled << ", OK " << s.ok << "}";
}

// The last request offered again, UTF-16 and the case with it; the case
// enabled only for the two kinds of text and kept, grayed, for hex; OK
// takes the kind and the case into the request, for 次を検索 to repeat.
TEST(FindDialog, TheCaseOnlyForTextKindsTakenWithTheKind)
{
    installWin32Platform();
    findRequest = FindRequest{};
    std::snprintf(findRequest.text, sizeof findRequest.text, "%s", "ＶｅｌＤｉｓ");
    findRequest.kind = FindKind::Utf16;
    findRequest.ignoreCase = true;
    std::vector<Shown> steps;
    std::vector<std::string> boxes;
    HMODULE exe = loadVeldisExe();
    runDialog(exe, "FIND", findDialogProc,
              {[&](HWND dialog) {
                  steps.push_back(shown(dialog));
                  click(dialog, IDC_FIND_HEX);  // no hex digits: OK grays
                  steps.push_back(shown(dialog));
                  click(dialog, IDC_FIND_STRING);
                  steps.push_back(shown(dialog));
                  click(dialog, IDC_FIND_IGNORE_CASE);
                  steps.push_back(shown(dialog));
                  click(dialog, IDC_FIND_UTF16);
                  steps.push_back(shown(dialog));
                  click(dialog, IDC_FIND_IGNORE_CASE);
                  click(dialog, IDC_FIND_HEX);
                  SetDlgItemTextA(dialog, IDC_FIND_TEXT, "EB 3C");
                  steps.push_back(shown(dialog));
                  click(dialog, IDC_FIND_STRING);
                  click(dialog, IDOK);
              }},
              boxes);
    FreeLibrary(exe);
    EXPECT_EQ(steps, (std::vector<Shown>{
                         {true, true, true, true},
                         {false, true, false, false},
                         {false, true, true, true},
                         {false, false, true, true},
                         {true, false, true, true},
                         {false, true, false, true},
                     }));
    EXPECT_TRUE(boxes.empty());
    EXPECT_STREQ(findRequest.text, "EB 3C");
    EXPECT_EQ(findRequest.kind, FindKind::Text);
    EXPECT_TRUE(findRequest.ignoreCase);
    EXPECT_TRUE(findRequest.asked);
}

// The check box's text fits its box in the dialog's font.
TEST(FindDialog, TheCaseTextFits)
{
    installWin32Platform();
    findRequest = FindRequest{};
    SIZE text = {}, box = {};
    std::vector<std::string> boxes;
    HMODULE exe = loadVeldisExe();
    runDialog(exe, "FIND", findDialogProc,
              {[&](HWND dialog) {
                  HWND check = GetDlgItem(dialog, IDC_FIND_IGNORE_CASE);
                  char caption[64] = "";
                  GetWindowTextA(check, caption, sizeof caption);
                  HDC dc = GetDC(check);
                  HGDIOBJ font = SelectObject(dc, (HFONT)SendMessageA(check, WM_GETFONT, 0, 0));
                  GetTextExtentPoint32A(dc, caption, int(std::strlen(caption)), &text);
                  SelectObject(dc, font);
                  ReleaseDC(check, dc);
                  RECT client;
                  GetClientRect(check, &client);
                  box = {client.right, client.bottom};
                  click(dialog, IDCANCEL);
              }},
              boxes);
    FreeLibrary(exe);
    ASSERT_GT(text.cx, 0);
    // The check mark and its gap take about a line's height.
    EXPECT_LT(text.cx + box.cy + 4, box.cx);
}

// Windows' own table for code page 932; bytes it has no character for, a
// lead byte without its second, and a text that does not fit are refused.
TEST(ShiftJisText, ToUtf16)
{
    installWin32Platform();
    struct Case {
        const char* text;
        uint32_t size;
        bool converted;
        std::vector<uint16_t> units;
    } cases[] = {
        {"AB.TXT", 16, true, {'A', 'B', '.', 'T', 'X', 'T'}},
        {"漢字ｱ", 16, true, {0x6F22, 0x5B57, 0xFF71}},
        {"ＡｚVeldis", 16, true, {0xFF21, 0xFF5A, 'V', 'e', 'l', 'd', 'i', 's'}},
        {"表示", 2, true, {0x8868, 0x793A}},
        {"", 0, true, {}},
        {"表示", 1, false, {}},
        {"ab\x82", 16, false, {}},
        {"\x85\x40", 16, false, {}},
    };
    for (const Case& c : cases) {
        uint16_t units[16];
        uint32_t count = 99;
        bool converted = platform.shiftJisToUtf16(c.text, units, c.size, &count);
        EXPECT_EQ(converted, c.converted) << c.text;
        if (!converted) continue;
        EXPECT_EQ(std::vector<uint16_t>(units, units + count), c.units) << c.text;
    }
}

}  // namespace
