#pragma once
#include <windows.h>

// The main window, once it exists; the settings take its rectangle from it.
extern HWND mainWindow;

// Points the core's platform at the real Win32 calls.
void installWin32Platform();
