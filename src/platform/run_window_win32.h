#pragma once
#include <windows.h>

// The window of a run in progress (a drive image dialog, the search's
// progress window): its progress bar, and the user's input between two
// chunks. One run at a time.
void beginRunWindow(HWND window);
void endRunWindow();
bool isRunWindow(HWND window);
// A dialog's キャンセル or 閉じる: the run's stop (it ends after its current
// chunk) while the dialog runs one, else the dialog's end.
void stopRunOrEndDialog(HWND dialog);

// The platform's side of a run: the bar, and whether to go on.
void showRunWindowProgress(int percent);
bool continueRunWindow();

// A dialog placed over the middle of its owner.
void centreOnOwner(HWND dialog);

// Runs `run` under a progress window made from the dialog template
// `templateName` (its bar IDC_IMAGE_PROGRESS, its stop button IDCANCEL).
void runInProgressWindow(HWND owner, const char* templateName, void (*run)());
