#pragma once
#include <windows.h>

// "ALLINFO": every drive of the system with its volume facts, sortable by
// any column.
INT_PTR CALLBACK allDrivesDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// "INFO": the capacity, areas and identity of the drive shown, and the
// shell's Properties, Format and Eject for it.
INT_PTR CALLBACK driveInfoDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
