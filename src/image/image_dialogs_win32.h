#pragma once
#include <windows.h>

// The "IMAGESAVE", "IMAGELOAD" and "IMAGEVERIFY" dialogs.
INT_PTR CALLBACK imageSaveDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK imageRestoreDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK imageVerifyDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

