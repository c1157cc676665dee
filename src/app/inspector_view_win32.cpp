#include "app/inspector_view_win32.h"

#include <commctrl.h>

#include "app/modeless_view_win32.h"
#include "driveinfo/list_view_win32.h"
#include "editor/data_inspector.h"
#include "res/resource.h"

namespace {

INT_PTR CALLBACK inspectorViewProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

ModelessView view = {"INSPECTOR",
                     inspectorViewProc,
                     &Settings::inspectorLeft,
                     &Settings::inspectorTop,
                     &Settings::inspectorWidth,
                     &Settings::inspectorHeight,
                     nullptr};

HWND listOf(HWND dialog)
{
    return GetDlgItem(dialog, IDC_INSPECT_LIST);
}

// The rows' names are there from the start, their values empty.
void fillNames(HWND list)
{
    for (int row = 0; row < INSPECTOR_ROW_COUNT; row++) {
        const char* texts[INSPECTOR_COLUMN_COUNT] = {inspectorRowName(row), ""};
        insertListRow(list, row, -1, texts, INSPECTOR_COLUMN_COUNT);
    }
    sizeListColumns(list, INSPECTOR_COLUMN_COUNT);
}

// The list takes the window; the values take what the names leave of it.
void layOut(HWND dialog)
{
    RECT client;
    GetClientRect(dialog, &client);
    HWND list = listOf(dialog);
    MoveWindow(list, 0, 0, client.right, client.bottom, TRUE);
    SendMessageA(list, LVM_SETCOLUMNWIDTH, 1, LVSCW_AUTOSIZE_USEHEADER);
}

// Only the values that changed are set: each setting repaints its row.
void refresh(HWND dialog)
{
    HWND list = listOf(dialog);
    for (int row = 0; row < INSPECTOR_ROW_COUNT; row++) {
        char shown[INSPECTOR_VALUE_SIZE] = "";
        LVITEMA cell = {};
        cell.iSubItem = 1;
        cell.pszText = shown;
        cell.cchTextMax = sizeof shown;
        SendMessageA(list, LVM_GETITEMTEXTA, row, LPARAM(&cell));
        if (lstrcmpA(shown, inspectorRows.values[row]) == 0) continue;
        cell.pszText = inspectorRows.values[row];
        SendMessageA(list, LVM_SETITEMTEXTA, row, LPARAM(&cell));
    }
}

INT_PTR CALLBACK inspectorViewProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    // FALSE: the main window keeps the focus.
    case WM_INITDIALOG:
        prepareListDialog(dialog, listOf(dialog), INSPECTOR_HEADERS, INSPECTOR_COLUMN_COUNT);
        fillNames(listOf(dialog));
        return FALSE;
    case WM_SIZE:
        layOut(dialog);
        if (wParam != SIZE_MINIMIZED) keepModelessViewPlace(view, dialog);
        return TRUE;
    case WM_MOVE: keepModelessViewPlace(view, dialog); return TRUE;
    case WM_COMMAND:
        // The core hides the view and unchecks its menu item.
        if (LOWORD(wParam) == IDCANCEL) toggleDataInspector();
        return TRUE;
    case WM_CLOSE: toggleDataInspector(); return TRUE;
    case WM_DESTROY: forgetModelessView(view, dialog); return TRUE;
    }
    return FALSE;
}

}  // namespace

void showInspectorView(bool shown)
{
    showModelessView(view, shown, refresh);
}

HWND inspectorViewWindow()
{
    return view.window;
}

void enableInspectorView(bool enabled)
{
    enableModelessView(view, enabled);
}
