#pragma once
#include <windows.h>

// The structure view: a modeless window owned by the main window, listing
// sectorStructure's rows. It comes up once allowModelessViews allows it.
// The platform's showStructure: created where needed and brought up to date,
// or destroyed (false).
void showStructureView(bool shown);
// The view's window, null while it is not up: the main loop hands it its
// keys.
HWND structureViewWindow();
// Disabled with the main window, so that no row is chosen under a modal
// dialog or a run.
void enableStructureView(bool enabled);