#include "search/find_dialog_win32.h"

#include <commctrl.h>

#include "platform/run_window_win32.h"
#include "res/resource.h"
#include "search/find.h"

namespace {

FindKind chosenKind(HWND dialog)
{
    if (IsDlgButtonChecked(dialog, IDC_FIND_UTF16) == BST_CHECKED) return FindKind::Utf16;
    if (IsDlgButtonChecked(dialog, IDC_FIND_STRING) == BST_CHECKED) return FindKind::Text;
    return FindKind::Hex;
}

// OK only for a text that stands for a pattern of the kind chosen; the case
// only for the kinds of text, its check kept while hex grays it.
void enableOk(HWND dialog)
{
    char text[FIND_TEXT_SIZE] = "";
    GetDlgItemTextA(dialog, IDC_FIND_TEXT, text, sizeof text);
    SearchPattern pattern;
    FindKind kind = chosenKind(dialog);
    EnableWindow(GetDlgItem(dialog, IDOK), parseFindPattern(text, kind, false, pattern));
    EnableWindow(GetDlgItem(dialog, IDC_FIND_IGNORE_CASE), kind != FindKind::Hex);
}

int kindButton(FindKind kind)
{
    switch (kind) {
    case FindKind::Hex: break;
    case FindKind::Text: return IDC_FIND_STRING;
    case FindKind::Utf16: return IDC_FIND_UTF16;
    }
    return IDC_FIND_HEX;
}

void openFind(HWND dialog)
{
    centreOnOwner(dialog);
    SendDlgItemMessageA(dialog, IDC_FIND_TEXT, EM_LIMITTEXT, FIND_TEXT_SIZE - 1, 0);
    SetDlgItemTextA(dialog, IDC_FIND_TEXT, findRequest.text);
    CheckRadioButton(dialog, IDC_FIND_HEX, IDC_FIND_UTF16, kindButton(findRequest.kind));
    CheckDlgButton(dialog, IDC_FIND_IGNORE_CASE,
                   findRequest.ignoreCase ? BST_CHECKED : BST_UNCHECKED);
    CheckRadioButton(dialog, IDC_FIND_DOWN, IDC_FIND_UP,
                     findRequest.backward ? IDC_FIND_UP : IDC_FIND_DOWN);
    enableOk(dialog);
}

void takeRequest(HWND dialog)
{
    GetDlgItemTextA(dialog, IDC_FIND_TEXT, findRequest.text, sizeof findRequest.text);
    findRequest.kind = chosenKind(dialog);
    findRequest.ignoreCase = IsDlgButtonChecked(dialog, IDC_FIND_IGNORE_CASE) == BST_CHECKED;
    findRequest.backward = IsDlgButtonChecked(dialog, IDC_FIND_UP) == BST_CHECKED;
    findRequest.asked = true;
}

}  // namespace

INT_PTR CALLBACK findDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG: openFind(dialog); return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            // Enter reaches here even while OK is grayed.
            if (!IsWindowEnabled(GetDlgItem(dialog, IDOK))) return TRUE;
            takeRequest(dialog);
            EndDialog(dialog, IDOK);
            return TRUE;
        case IDCANCEL: EndDialog(dialog, IDCANCEL); return TRUE;
        case IDC_FIND_TEXT:
        case IDC_FIND_HEX:
        case IDC_FIND_STRING:
        case IDC_FIND_UTF16: enableOk(dialog); return FALSE;
        }
        return FALSE;
    }
    return FALSE;
}

void runFindWithProgress(HWND window)
{
    runInProgressWindow(window, "FINDRUN", runFind);
}
