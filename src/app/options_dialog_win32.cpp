#include "app/options_dialog_win32.h"

#include "platform/settings.h"
#include "res/resource.h"

namespace {

void check(HWND dialog, int id, bool on)
{
    CheckDlgButton(dialog, id, on ? BST_CHECKED : BST_UNCHECKED);
}

bool checked(HWND dialog, int id)
{
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

}  // namespace

INT_PTR CALLBACK optionsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG) {
        OptionsChoice choice = currentOptions();
        check(dialog, IDC_OPTION_CONFIRM_WRITE, choice.confirmSectorWrite);
        check(dialog, IDC_OPTION_CONFIRM_DISCARD, choice.confirmDiscardEdits);
        return TRUE;
    }
    if (message != WM_COMMAND) return FALSE;
    // Esc and the close box arrive as IDCANCEL too.
    switch (LOWORD(wParam)) {
    case IDOK:
        acceptOptions({checked(dialog, IDC_OPTION_CONFIRM_WRITE),
                       checked(dialog, IDC_OPTION_CONFIRM_DISCARD)});
        EndDialog(dialog, IDOK);
        return TRUE;
    case IDCANCEL:
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    }
    return FALSE;
}
