#include "volume/drive_combo_win32.h"

#include "volume/drive_types.h"

void fillDriveCombo(HWND combo, int currentDrive)
{
    DriveChoices choices = listDriveChoices(currentDrive);
    SendMessageA(combo, CB_RESETCONTENT, 0, 0);
    for (int i = 0; i < choices.count; i++)
        SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(choices.entries[i]));
    if (choices.selected >= 0) SendMessageA(combo, CB_SETCURSEL, choices.selected, 0);
}

int comboDrive(HWND combo)
{
    char entry[16] = "";
    GetWindowTextA(combo, entry, sizeof entry);
    return driveFromChoice(entry);
}
