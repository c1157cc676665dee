#pragma once
#include <windows.h>

// "ALLINFO": every drive of the system with its volume facts, sortable by
// any column.
INT_PTR CALLBACK allDrivesDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// "INFO": the capacity, areas and identity of the drive shown, and the
// shell's Properties, Format and Eject for it.
INT_PTR CALLBACK driveInfoDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// "PARTLIST": the partitions of the disk shown; Enter or a double click
// shows the first sector of the one chosen.
INT_PTR CALLBACK partitionListDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
