#include "volume/drive_combo_win32.h"

#include "volume/drive_types.h"

namespace {

// A disk's entry is longer than the box made for "A:": its list opens wide
// enough to read it.
void widenList(HWND combo, const DriveChoices& choices)
{
    HDC dc = GetDC(combo);
    HGDIOBJ font = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(combo, WM_GETFONT, 0, 0)));
    int width = 0;
    for (int i = 0; i < choices.count; i++) {
        SIZE size = {};
        GetTextExtentPoint32A(dc, choices.entries[i], lstrlenA(choices.entries[i]), &size);
        if (size.cx > width) width = size.cx;
    }
    SelectObject(dc, font);
    ReleaseDC(combo, dc);
    SendMessageA(combo, CB_SETDROPPEDWIDTH, width + 2 * GetSystemMetrics(SM_CXVSCROLL), 0);
}

}  // namespace

void fillDriveCombo(HWND combo, Source current)
{
    DriveChoices choices = listDriveChoices(current);
    SendMessageA(combo, CB_RESETCONTENT, 0, 0);
    for (int i = 0; i < choices.count; i++)
        SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(choices.entries[i]));
    // The box sorts its entries: the one to select is found by its text.
    if (choices.selected >= 0)
        SendMessageA(combo, CB_SETCURSEL,
                     SendMessageA(combo, CB_FINDSTRINGEXACT, WPARAM(-1),
                                  reinterpret_cast<LPARAM>(choices.entries[choices.selected])),
                     0);
    widenList(combo, choices);
}

Source comboSource(HWND combo)
{
    char entry[SOURCE_CHOICE_SIZE] = "";
    GetWindowTextA(combo, entry, sizeof entry);
    return sourceFromChoice(entry);
}
