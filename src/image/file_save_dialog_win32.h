#pragma once
#include <windows.h>

// The question of a deleted file's first character: IDOK once one is taken.
INT_PTR CALLBACK recoverDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The save dialog, then the file read under its progress window.
void saveFileWithProgress(HWND window);
