#pragma once
#include <windows.h>

// The procedure of the modal dialog "OPTION".
INT_PTR CALLBACK optionsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
