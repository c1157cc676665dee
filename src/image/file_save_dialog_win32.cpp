#include "image/file_save_dialog_win32.h"

#include "image/file_save.h"
#include "platform/run_window_win32.h"
#include "res/resource.h"

namespace {

void openRecover(HWND dialog)
{
    SetDlgItemTextA(dialog, IDC_RECOVER_NAME, fileSaveRequest.shortName);
    SendDlgItemMessageA(dialog, IDC_RECOVER_FIRST, EM_LIMITTEXT, 2, 0);
    SetDlgItemTextA(dialog, IDC_RECOVER_FIRST, fileSaveRequest.firstCharacter);
    SendDlgItemMessageA(dialog, IDC_RECOVER_FIRST, EM_SETSEL, 0, -1);
}

}  // namespace

INT_PTR CALLBACK recoverDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        openRecover(dialog);
        SetFocus(GetDlgItem(dialog, IDC_RECOVER_FIRST));
        return FALSE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK: {
            char text[8] = "";
            GetDlgItemTextA(dialog, IDC_RECOVER_FIRST, text, sizeof text);
            if (acceptFirstCharacter(text)) EndDialog(dialog, IDOK);
            return TRUE;
        }
        case IDCANCEL: EndDialog(dialog, IDCANCEL); return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}

void saveFileWithProgress(HWND window)
{
    if (chooseSavedFile()) runInProgressWindow(window, "FILERUN", runFileSave);
}
