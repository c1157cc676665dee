#pragma once
#include <windows.h>

// Paint handlers of the main window, and the same painting into any device
// context (tests and benchmarks draw into memory).
void paintDump(HWND window);
void paintDumpInto(HDC dc);
void paintBanner(HWND window);
void paintBannerInto(HDC dc, int width, int height);

// The dump font at a cell height; italic for the banner title.
HFONT createDumpFont(int height, bool italic);
