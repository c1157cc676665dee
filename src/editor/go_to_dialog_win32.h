#pragma once
#include <windows.h>

// The "GOTO" dialog: a position and what it counts (bytes or sectors), the
// last ones gone to offered again.
INT_PTR CALLBACK goToDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
