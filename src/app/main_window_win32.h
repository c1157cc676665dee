#pragma once
#include <windows.h>

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// What a second start hands over in WM_COPYDATA: the path of an image file.
constexpr ULONG_PTR COPY_IMAGE_PATH = 0x56454C44;  // "VELD"

// A window of the class "VELDIS" is handed a path only once it answers
// this registered message with HAND_OVER_ANSWER: another program may have
// registered the class.
constexpr const char* HAND_OVER_QUESTION = "Veldis image hand-over";
constexpr LRESULT HAND_OVER_ANSWER = 0x56454C44;  // "VELD"
UINT handOverQuestion();

// The image file at `path` (handed over, dropped, or named on the command
// line) waits until the window is idle: opened in the middle of a run, a
// dialog or a question, it would take the place of the drive they work on.
void openImageLater(HWND window, const char* path);
// The main message loop's turn, between two of its messages: no run, dialog
// or question is up. Opens what waits.
void openWaitingImage();
