#pragma once
#include <windows.h>

// The "CHECKSUM" dialog: what to sum, 計算, the result and its ｺﾋﾟｰ.
INT_PTR CALLBACK checksumDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
