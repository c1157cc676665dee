#pragma once
#include <windows.h>

// COMCTL32 (the status bar, the progress bars, the drive list) is loaded
// when first asked for, not with the program: its loading registers its
// classes and sets up its theming, which came before the first window
// showed. Whatever uses its classes or functions asks first; null when it
// cannot be loaded.
HMODULE loadCommonControls();
