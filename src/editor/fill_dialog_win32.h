#pragma once
#include <windows.h>

// The "FILL" dialog: the bytes to fill the selection with, as hex.
INT_PTR CALLBACK fillDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
