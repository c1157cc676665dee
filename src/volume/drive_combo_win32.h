#pragma once
#include <windows.h>

#include "disk/source.h"

// Fills a source combo box with the supported drives ("%c:") and, on Windows
// NT, the physical disks, and selects the entry of `current` when it is among
// them.
void fillDriveCombo(HWND combo, Source current);
// The source of the combo box's selected entry, NO_SOURCE when none is.
Source comboSource(HWND combo);
