#include "platform/common_controls_win32.h"

// InitCommonControls registers the classes on systems whose COMCTL32 does
// not do so as it loads.
HMODULE loadCommonControls()
{
    HMODULE controls = LoadLibraryA("COMCTL32.DLL");
    if (controls == nullptr) return nullptr;
    auto initCommonControls = reinterpret_cast<void(WINAPI*)()>(
        reinterpret_cast<void*>(GetProcAddress(controls, "InitCommonControls")));
    if (initCommonControls != nullptr) initCommonControls();
    return controls;
}
