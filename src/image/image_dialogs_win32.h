#pragma once
#include <windows.h>

// The "IMAGESAVE", "IMAGELOAD" and "IMAGEVERIFY" dialogs.
INT_PTR CALLBACK imageSaveDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK imageRestoreDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK imageVerifyDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The platform's side of a running image: the dialog's progress bar, and its
// messages between two chunks.
void showImageProgress(int percent);
bool continueImageRun();
