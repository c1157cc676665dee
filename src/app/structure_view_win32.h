#pragma once
#include <windows.h>

// The structure view: a modeless window owned by the main window, listing
// sectorStructure's rows.
// The view may come up from now on, owned by `owner`, from the template in
// `templates`: called once the common controls it lists with are loaded.
// Null: not (any more).
void allowStructureView(HWND owner, HMODULE templates);
// The platform's showStructure: created where needed and brought up to date,
// or destroyed (false).
void showStructureView(bool shown);
// The view's window, null while it is not up: the main loop hands it its
// keys.
HWND structureViewWindow();
// Disabled with the main window, so that no row is chosen under a modal
// dialog or a run.
void enableStructureView(bool enabled);