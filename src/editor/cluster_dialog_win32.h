#pragma once
#include <windows.h>

// The "CLUSTER" dialog: a cluster number, the one under the cursor proposed.
INT_PTR CALLBACK clusterDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
