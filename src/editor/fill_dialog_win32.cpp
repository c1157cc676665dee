#include "editor/fill_dialog_win32.h"

#include "editor/fill.h"
#include "res/resource.h"

INT_PTR CALLBACK fillDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG) {
        SendDlgItemMessageA(dialog, IDC_FILL_BYTES, EM_LIMITTEXT, FILL_TEXT_SIZE - 1, 0);
        SetDlgItemTextA(dialog, IDC_FILL_BYTES, fillText);
        return TRUE;
    }
    if (message != WM_COMMAND) return FALSE;
    switch (LOWORD(wParam)) {
    case IDOK: {
        char text[FILL_TEXT_SIZE] = "";
        GetDlgItemTextA(dialog, IDC_FILL_BYTES, text, sizeof text);
        if (acceptFillText(text)) {
            EndDialog(dialog, IDOK);
        } else {
            // Refused: the text stays, all of it selected for typing over.
            HWND box = GetDlgItem(dialog, IDC_FILL_BYTES);
            SetFocus(box);
            SendMessageA(box, EM_SETSEL, 0, -1);
        }
        return TRUE;
    }
    case IDCANCEL: EndDialog(dialog, IDCANCEL); return TRUE;
    }
    return FALSE;
}
