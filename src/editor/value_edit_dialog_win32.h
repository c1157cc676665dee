#pragma once
#include <windows.h>

// The "EDIT" dialog: the bytes at the cursor as one number in three boxes,
// each keystroke checked and carried into the other two.
INT_PTR CALLBACK valueEditDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
