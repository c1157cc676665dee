#include "app/read_dialog_win32.h"

#include <cstdio>

#include "app/main_commands.h"
#include "editor/editor_state.h"
#include "res/resource.h"
#include "volume/drive_combo_win32.h"

namespace {

constexpr int SECTOR_DIGITS = 20;  // 2^64 - 1

void open(HWND dialog)
{
    fillDriveCombo(GetDlgItem(dialog, IDC_READ_DRIVE), readDialogSource());
    SendDlgItemMessageA(dialog, IDC_READ_SECTOR, EM_LIMITTEXT, SECTOR_DIGITS, 0);
    char sector[SECTOR_DIGITS + 1];
    std::snprintf(sector, sizeof sector, "%llu", (unsigned long long)editor.currentSector);
    SetDlgItemTextA(dialog, IDC_READ_SECTOR, sector);
}

void accept(HWND dialog)
{
    char sector[SECTOR_DIGITS + 2] = "";
    GetDlgItemTextA(dialog, IDC_READ_SECTOR, sector, sizeof sector);
    Source source = comboSource(GetDlgItem(dialog, IDC_READ_DRIVE));
    if (acceptReadChoice(source, sector)) EndDialog(dialog, 1);
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
