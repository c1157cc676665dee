#pragma once
#include <windows.h>

// The data inspector: a modeless window owned by the main window, listing
// inspectorRows. It comes up once allowModelessViews allows it.
// The platform's showInspector: created where needed and brought up to date,
// or destroyed (false).
void showInspectorView(bool shown);
// The view's window, null while it is not up: the main loop hands it its keys.
HWND inspectorViewWindow();
// Disabled with the main window, as the structure view is.
void enableInspectorView(bool enabled);
