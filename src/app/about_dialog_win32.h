#pragma once
#include <windows.h>

// The procedure of the modal About dialog "VELDIS".
INT_PTR CALLBACK aboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
