#include "app/status_bar_win32.h"

#include <commctrl.h>

#include "editor/status_text.h"
#include "platform/settings.h"

namespace {

HWND statusBar;
char shownParts[STATUS_PART_COUNT][STATUS_TEXT_SIZE];
// Each part's right edge. Parts only widen, so they do not jump about as
// the caret moves over values of other lengths.
int partRights[STATUS_PART_COUNT];

// Room around a part's text for its borders.
constexpr int PART_PADDING = 16;

int textWidth(HDC dc, const char* text)
{
    SIZE size = {0, 0};
    GetTextExtentPoint32A(dc, text, lstrlenA(text), &size);
    return size.cx + PART_PADDING;
}

// The last part takes whatever is left.
void widenParts(const char* const* parts, int count)
{
    HDC dc = GetDC(statusBar);
    HGDIOBJ oldFont =
        SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(statusBar, WM_GETFONT, 0, 0)));
    int left = 0;
    for (int k = 0; k < count; k++) {
        int right = left + textWidth(dc, parts[k]);
        if (right > partRights[k]) partRights[k] = right;
        left = partRights[k];
    }
    SelectObject(dc, oldFont);
    ReleaseDC(statusBar, dc);
    partRights[count - 1] = -1;
    SendMessageA(statusBar, SB_SETPARTS, count, reinterpret_cast<LPARAM>(partRights));
}

}  // namespace

void createStatusBar(HWND window)
{
    DWORD style = WS_CHILD | (settings.statusBar != 0 ? WS_VISIBLE : 0);
    statusBar = CreateWindowExA(0, STATUSCLASSNAMEA, "", style, 0, 0, 0, 0, window, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    ZeroMemory(shownParts, sizeof shownParts);
    ZeroMemory(partRights, sizeof partRights);
}

void fitStatusBar()
{
    if (statusBar != nullptr) SendMessageA(statusBar, WM_SIZE, 0, 0);
}

void showStatusBar(bool show)
{
    ShowWindow(statusBar, show ? SW_SHOW : SW_HIDE);
    fitStatusBar();
}

// The style and not IsWindowVisible: the bar counts while the main window
// is still being created, before anything shows.
int statusBarHeight()
{
    if (statusBar == nullptr || (GetWindowLongA(statusBar, GWL_STYLE) & WS_VISIBLE) == 0) return 0;
    RECT rect;
    GetWindowRect(statusBar, &rect);
    return rect.bottom - rect.top;
}

void setStatusParts(const char* const* parts, int count)
{
    if (statusBar == nullptr || count > STATUS_PART_COUNT) return;
    bool changed = false;
    for (int k = 0; k < count; k++) changed |= lstrcmpA(shownParts[k], parts[k]) != 0;
    if (!changed) return;
    widenParts(parts, count);
    for (int k = 0; k < count; k++) {
        lstrcpynA(shownParts[k], parts[k], STATUS_TEXT_SIZE);
        SendMessageA(statusBar, SB_SETTEXTA, k, reinterpret_cast<LPARAM>(parts[k]));
    }
}
