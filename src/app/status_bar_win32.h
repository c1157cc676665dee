#pragma once
#include <windows.h>

// The status window along the bottom of the main window's client area; the
// dump has the rest.
void createStatusBar(HWND window);
// Back along the bottom edge after the main window changed size.
void fitStatusBar();
void showStatusBar(bool show);
// The client area's height it takes: 0 while hidden.
int statusBarHeight();
void setStatusParts(const char* const* parts, int count);
