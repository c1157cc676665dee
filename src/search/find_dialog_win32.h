#pragma once
#include <windows.h>

// The "FIND" dialog: IDOK when it took a new request into findRequest.
INT_PTR CALLBACK findDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Runs the search of findRequest over the shown drive, with the "FINDRUN"
// window's progress bar and stop button while it lasts.
void runFindWithProgress(HWND window);
