#pragma once
#include <windows.h>

// Fills a drive combo box with the supported drives ("%c:") and selects the
// entry of `currentDrive` when it is among them.
void fillDriveCombo(HWND combo, int currentDrive);
// The drive index of the combo box's selected entry, -1 when none is.
int comboDrive(HWND combo);
