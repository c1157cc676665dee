#include "editor/cluster_dialog_win32.h"

#include "editor/cluster_jump.h"
#include "res/resource.h"

namespace {

constexpr int CLUSTER_DIGITS = 10;

// Empty text, no number, or one past 32 bits reads as 0, which no volume has.
uint32_t typedCluster(HWND dialog)
{
    BOOL read = FALSE;
    UINT value = GetDlgItemInt(dialog, IDC_CLUSTER_NUMBER, &read, FALSE);
    return read ? value : 0;
}

}  // namespace

INT_PTR CALLBACK clusterDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG) {
        SendDlgItemMessageA(dialog, IDC_CLUSTER_NUMBER, EM_LIMITTEXT, CLUSTER_DIGITS, 0);
        // Setting the text raises EN_CHANGE, which settles OK.
        SetDlgItemInt(dialog, IDC_CLUSTER_NUMBER, proposedCluster(), FALSE);
        return TRUE;
    }
    if (message != WM_COMMAND) return FALSE;
    uint32_t cluster = typedCluster(dialog);
    switch (LOWORD(wParam)) {
    case IDC_CLUSTER_NUMBER:
        if (HIWORD(wParam) == EN_CHANGE)
            EnableWindow(GetDlgItem(dialog, IDOK), isClusterAcceptable(cluster));
        return FALSE;
    case IDOK:
        // Enter reaches here even while OK is grayed.
        if (!isClusterAcceptable(cluster)) return TRUE;
        jumpToCluster(cluster);
        EndDialog(dialog, 1);
        return TRUE;
    case IDCANCEL: EndDialog(dialog, 1); return TRUE;
    }
    return FALSE;
}
