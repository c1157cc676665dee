#include "app/read_dialog_win32.h"

#include "app/main_commands.h"
#include "editor/editor_state.h"
#include "res/resource.h"
#include "volume/drive_combo_win32.h"

namespace {

constexpr int SECTOR_DIGITS = 10;

void open(HWND dialog)
{
    fillDriveCombo(GetDlgItem(dialog, IDC_READ_DRIVE), readDialogDrive());
    SendDlgItemMessageA(dialog, IDC_READ_SECTOR, EM_LIMITTEXT, SECTOR_DIGITS, 0);
    SetDlgItemInt(dialog, IDC_READ_SECTOR, editor.currentSector, FALSE);
}

// An empty box, or a number past 32 bits, reads as sector 0.
void accept(HWND dialog)
{
    BOOL read = FALSE;
    UINT sector = GetDlgItemInt(dialog, IDC_READ_SECTOR, &read, FALSE);
    int drive = comboDrive(GetDlgItem(dialog, IDC_READ_DRIVE));
    if (acceptReadChoice(drive, read ? sector : 0)) EndDialog(dialog, 1);
}

}  // namespace

INT_PTR CALLBACK readDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG) {
        open(dialog);
        return TRUE;
    }
    if (message != WM_COMMAND) return FALSE;
    switch (LOWORD(wParam)) {
    case IDOK: accept(dialog); return TRUE;
    case IDCANCEL: EndDialog(dialog, 1); return TRUE;
    }
    return FALSE;
}
