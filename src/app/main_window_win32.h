#pragma once
#include <windows.h>

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// What a second start hands over in WM_COPYDATA: the path of an image file.
constexpr ULONG_PTR COPY_IMAGE_PATH = 0x56454C44;  // "VELD"

// Opens the image file at `path` once the window's messages come to it: a
// path handed over, or named on the command line.
void openImageLater(HWND window, const char* path);
