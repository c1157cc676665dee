#pragma once
#include <windows.h>

#include "driveinfo/drive_details.h"

// The shell's allocator for names and item identifiers, held while the
// information dialog is open.
bool openShellAllocator();
void closeShellAllocator();

// Whether the drive's shell context menu has an item matching the
// candidates; with `invoke`, the item is also carried out, owned by `owner`.
bool driveContextCommand(HWND owner, int drive, const MenuCandidates& candidates, bool invoke);
