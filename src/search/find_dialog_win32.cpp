#include "search/find_dialog_win32.h"

#include <commctrl.h>

#include "platform/run_window_win32.h"
#include "res/resource.h"
#include "search/find.h"

namespace {

void centreOnOwner(HWND dialog)
{
    RECT owner, own;
    GetWindowRect(GetWindow(dialog, GW_OWNER), &owner);
    GetWindowRect(dialog, &own);
    int width = own.right - own.left, height = own.bottom - own.top;
    SetWindowPos(dialog, nullptr, (owner.left + owner.right - width) / 2,
                 (owner.top + owner.bottom - height) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool isTextChosen(HWND dialog)
{
    return IsDlgButtonChecked(dialog, IDC_FIND_STRING) == BST_CHECKED;
}

// OK only for a text that stands for a pattern of the kind chosen.
void enableOk(HWND dialog)
{
    char text[FIND_TEXT_SIZE] = "";
    GetDlgItemTextA(dialog, IDC_FIND_TEXT, text, sizeof text);
    SearchPattern pattern;
    EnableWindow(GetDlgItem(dialog, IDOK), parseFindPattern(text, isTextChosen(dialog), pattern));
}

void openFind(HWND dialog)
{
    centreOnOwner(dialog);
    SendDlgItemMessageA(dialog, IDC_FIND_TEXT, EM_LIMITTEXT, FIND_TEXT_SIZE - 1, 0);
    SetDlgItemTextA(dialog, IDC_FIND_TEXT, findRequest.text);
    CheckRadioButton(dialog, IDC_FIND_HEX, IDC_FIND_STRING,
                     findRequest.isText ? IDC_FIND_STRING : IDC_FIND_HEX);
    CheckRadioButton(dialog, IDC_FIND_DOWN, IDC_FIND_UP,
                     findRequest.backward ? IDC_FIND_UP : IDC_FIND_DOWN);
    enableOk(dialog);
}

void takeRequest(HWND dialog)
{
    GetDlgItemTextA(dialog, IDC_FIND_TEXT, findRequest.text, sizeof findRequest.text);
    findRequest.isText = isTextChosen(dialog);
    findRequest.backward = IsDlgButtonChecked(dialog, IDC_FIND_UP) == BST_CHECKED;
    findRequest.asked = true;
}

INT_PTR CALLBACK findRunProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        centreOnOwner(dialog);
        SendDlgItemMessageA(dialog, IDC_IMAGE_PROGRESS, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL) askRunStop();
        return TRUE;
    }
    return FALSE;
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
        case IDC_FIND_STRING: enableOk(dialog); return FALSE;
        }
        return FALSE;
    }
    return FALSE;
}

// The main window takes no input while the search reads, as under a modal
// dialog; it is enabled again before the progress window goes, so it is the
// window the system activates next.
void runFindWithProgress(HWND window)
{
    HWND progress =
        CreateDialogParamA(GetModuleHandleA(nullptr), "FINDRUN", window, findRunProc, 0);
    EnableWindow(window, FALSE);
    beginRunWindow(progress);
    runFind();
    endRunWindow();
    EnableWindow(window, TRUE);
    if (progress != nullptr) DestroyWindow(progress);
    SetFocus(window);
}
