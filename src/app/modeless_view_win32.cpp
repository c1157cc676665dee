#include "app/modeless_view_win32.h"

namespace {

HWND owner = nullptr;
HMODULE templateModule = nullptr;

}  // namespace

void allowModelessViews(HWND viewOwner, HMODULE templates)
{
    owner = viewOwner;
    templateModule = templates;
}

bool makeModelessView(ModelessView& view)
{
    if (view.window != nullptr) return true;
    if (owner == nullptr) return false;
    HWND dialog = CreateDialogParamA(templateModule, view.templateName, owner, view.procedure, 0);
    if (dialog == nullptr) return false;
    SetWindowPos(dialog, nullptr, settings.*view.left, settings.*view.top, settings.*view.width,
                 settings.*view.height, SWP_NOZORDER | SWP_NOACTIVATE);
    EnableWindow(dialog, IsWindowEnabled(owner));
    view.window = dialog;
    return true;
}

void showModelessView(ModelessView& view, bool shown, void (*refresh)(HWND))
{
    if (!shown) {
        destroyModelessView(view);
        return;
    }
    if (!makeModelessView(view)) return;
    refresh(view.window);
    if (!IsWindowVisible(view.window)) ShowWindow(view.window, SW_SHOWNOACTIVATE);
}

void destroyModelessView(const ModelessView& view)
{
    if (view.window != nullptr) DestroyWindow(view.window);
}

void keepModelessViewPlace(const ModelessView& view, HWND dialog)
{
    if (dialog != view.window || IsIconic(dialog)) return;
    RECT rect;
    GetWindowRect(dialog, &rect);
    settings.*view.left = rect.left;
    settings.*view.top = rect.top;
    settings.*view.width = rect.right - rect.left;
    settings.*view.height = rect.bottom - rect.top;
}

void forgetModelessView(ModelessView& view, HWND dialog)
{
    if (dialog == view.window) view.window = nullptr;
}

void enableModelessView(const ModelessView& view, bool enabled)
{
    if (view.window != nullptr) EnableWindow(view.window, enabled);
}
