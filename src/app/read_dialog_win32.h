#pragma once
#include <windows.h>

// The procedure of the modal dialog "READ".
INT_PTR CALLBACK readDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
