#pragma once
#include <windows.h>

#include <cstdint>

#include "platform/settings.h"

// A modeless list window beside the main window (the structure view, the
// data inspector): made from its template, owned by the main window, which
// keeps the keyboard; its rectangle kept in four fields of the settings.
struct ModelessView {
    const char* templateName;
    DLGPROC procedure;
    int32_t Settings::*left;
    int32_t Settings::*top;
    int32_t Settings::*width;
    int32_t Settings::*height;
    HWND window;  // null while it is not up
};

// The views may come up from now on, owned by `owner`, from the templates in
// `templates`: called once the common controls they list with are loaded.
// Null: not (any more).
void allowModelessViews(HWND owner, HMODULE templates);
// Made where it is allowed and not up yet, at its kept rectangle, enabled as
// the owner is; still hidden. False when it is not up.
bool makeModelessView(ModelessView& view);
// Shown (made where needed, its rows from `refresh`, without taking the
// keyboard from the main window) or destroyed.
void showModelessView(ModelessView& view, bool shown, void (*refresh)(HWND));
void destroyModelessView(const ModelessView& view);
// WM_MOVE and WM_SIZE: the rectangle kept for the next start. Only the placed
// window counts, not the template's place while it is being made.
void keepModelessViewPlace(const ModelessView& view, HWND dialog);
// WM_DESTROY: the view is no longer up.
void forgetModelessView(ModelessView& view, HWND dialog);
// Disabled with the main window, so that nothing is chosen in it under a
// modal dialog or a run.
void enableModelessView(const ModelessView& view, bool enabled);
