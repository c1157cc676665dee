#include "search/find_dialog_win32.h"

#include <commctrl.h>

#include "platform/run_window_win32.h"
#include "res/resource.h"
#include "search/find.h"

namespace {

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

void runFindWithProgress(HWND window)
{
    runInProgressWindow(window, "FINDRUN", runFind);
}
