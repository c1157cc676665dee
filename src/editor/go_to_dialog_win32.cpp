#include "editor/go_to_dialog_win32.h"

#include "editor/go_to.h"
#include "res/resource.h"

namespace {

void open(HWND dialog)
{
    SendDlgItemMessageA(dialog, IDC_GOTO_TEXT, EM_LIMITTEXT, GO_TO_TEXT_SIZE - 1, 0);
    SetDlgItemTextA(dialog, IDC_GOTO_TEXT, goToChoice.text);
    int kind = goToChoice.kind == GoToKind::Sector ? IDC_GOTO_SECTOR : IDC_GOTO_BYTE;
    CheckRadioButton(dialog, IDC_GOTO_BYTE, IDC_GOTO_SECTOR, kind);
    // Typing replaces the text offered.
    SetFocus(GetDlgItem(dialog, IDC_GOTO_TEXT));
    SendDlgItemMessageA(dialog, IDC_GOTO_TEXT, EM_SETSEL, 0, -1);
}

void accept(HWND dialog)
{
    char text[GO_TO_TEXT_SIZE] = "";
    GetDlgItemTextA(dialog, IDC_GOTO_TEXT, text, sizeof text);
    GoToKind kind = IsDlgButtonChecked(dialog, IDC_GOTO_SECTOR) == BST_CHECKED ? GoToKind::Sector
                                                                               : GoToKind::Byte;
    if (goToPosition(text, kind)) EndDialog(dialog, IDOK);
}

}  // namespace

INT_PTR CALLBACK goToDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG) {
        open(dialog);
        return FALSE;  // the focus is set
    }
    if (message != WM_COMMAND) return FALSE;
    switch (LOWORD(wParam)) {
    case IDOK: accept(dialog); return TRUE;
    case IDCANCEL: EndDialog(dialog, IDCANCEL); return TRUE;
    }
    return FALSE;
}
