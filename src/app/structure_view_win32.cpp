#include "app/structure_view_win32.h"

#include <commctrl.h>

#include "app/modeless_view_win32.h"
#include "driveinfo/list_view_win32.h"
#include "editor/sector_structure.h"
#include "editor/structure_actions.h"
#include "editor/structure_rows.h"
#include "platform/settings.h"
#include "res/resource.h"

namespace {

INT_PTR CALLBACK structureViewProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

ModelessView view = {"STRUCTURE",
                     structureViewProc,
                     &Settings::structureLeft,
                     &Settings::structureTop,
                     &Settings::structureWidth,
                     &Settings::structureHeight,
                     nullptr};
// The generation of the rows the list holds; none before its first fill.
bool filled = false;
uint32_t filledGeneration = 0;
// A selection made here follows the caret: only the user's chooses a row.
bool refreshing = false;

HWND listOf(HWND dialog)
{
    return GetDlgItem(dialog, IDC_STRUCT_LIST);
}

int shownColumnCount()
{
    int count = sectorStructure.columnCount;
    if (sectorStructure.headers == nullptr || count < 0) return 0;
    return count < STRUCTURE_COLUMN_MAX ? count : STRUCTURE_COLUMN_MAX;
}

// Each kind of sector has columns of its own.
void fillColumns(HWND list, int columns)
{
    while (SendMessageA(list, LVM_DELETECOLUMN, 0, 0)) {
    }
    insertListColumns(list, sectorStructure.headers, columns);
}

void fillRows(HWND list, int columns)
{
    SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
    if (columns == 0) return;
    uint32_t count = sectorStructure.rowCount < STRUCTURE_ROW_MAX ? sectorStructure.rowCount
                                                                  : STRUCTURE_ROW_MAX;
    SendMessageA(list, LVM_SETITEMCOUNT, count, 0);
    for (uint32_t row = 0; row < count; row++) {
        const char* texts[STRUCTURE_COLUMN_MAX];
        for (int column = 0; column < columns; column++)
            texts[column] = structureCell(sectorStructure.rows[row], column);
        insertListRow(list, int(row), -1, texts, columns);
    }
}

// Drawn once, when all rows are in: row by row, a long list flickers.
void fillList(HWND list)
{
    int columns = shownColumnCount();
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    fillColumns(list, columns);
    fillRows(list, columns);
    sizeListColumns(list, columns);
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
    filled = true;
    filledGeneration = sectorStructure.generation;
}

// Set only when it changed: each setting repaints the line.
void showTitle(HWND dialog)
{
    char shown[STRUCTURE_TITLE_SIZE] = "";
    GetDlgItemTextA(dialog, IDC_STRUCT_TITLE, shown, sizeof shown);
    if (lstrcmpA(shown, sectorStructure.title) != 0)
        SetDlgItemTextA(dialog, IDC_STRUCT_TITLE, sectorStructure.title);
}

void setItemState(HWND list, int item, UINT state)
{
    LVITEMA change = {};
    change.stateMask = LVIS_SELECTED | (item >= 0 ? LVIS_FOCUSED : 0);
    change.state = state;
    SendMessageA(list, LVM_SETITEMSTATE, WPARAM(item), LPARAM(&change));
}

void selectCaretRow(HWND list)
{
    int row = sectorStructure.caretRow;
    if (row < 0 || row >= int(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0))) {
        setItemState(list, -1, 0);
        return;
    }
    setItemState(list, row, LVIS_SELECTED | LVIS_FOCUSED);
    SendMessageA(list, LVM_ENSUREVISIBLE, WPARAM(row), FALSE);
}

void refresh(HWND dialog)
{
    bool wasRefreshing = refreshing;
    refreshing = true;
    HWND list = listOf(dialog);
    if (!filled || filledGeneration != sectorStructure.generation) fillList(list);
    showTitle(dialog);
    selectCaretRow(list);
    refreshing = wasRefreshing;
}

// The title line keeps its height from the template; the list takes the rest.
// The window is sized once before its controls exist.
void layOut(HWND dialog)
{
    RECT client = {0, 0, 0, 0}, title = {0, 0, 0, 0};
    HWND titleLine = GetDlgItem(dialog, IDC_STRUCT_TITLE);
    if (titleLine == nullptr) return;
    GetClientRect(dialog, &client);
    GetWindowRect(titleLine, &title);
    int titleHeight = title.bottom - title.top;
    int listTop = titleHeight + 4;
    int listHeight = client.bottom > listTop ? client.bottom - listTop : 0;
    MoveWindow(titleLine, 4, 2, client.right > 8 ? client.right - 8 : 0, titleHeight, TRUE);
    MoveWindow(listOf(dialog), 0, listTop, client.right, listHeight, TRUE);
}

void chooseRow(const NMLISTVIEW* change)
{
    bool selected = (change->uChanged & LVIF_STATE) && (change->uNewState & LVIS_SELECTED) &&
                    !(change->uOldState & LVIS_SELECTED);
    if (selected && !refreshing && change->iItem >= 0) selectStructureRow(change->iItem);
}

void openSelectedRow(HWND dialog)
{
    int item = int(SendMessageA(listOf(dialog), LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED));
    if (item >= 0) openStructureRow(item);
}

INT_PTR onNotify(HWND dialog, const NMHDR* notice)
{
    if (notice->idFrom != IDC_STRUCT_LIST) return FALSE;
    switch (notice->code) {
    case LVN_ITEMCHANGED: chooseRow(reinterpret_cast<const NMLISTVIEW*>(notice)); return TRUE;
    case NM_DBLCLK: openSelectedRow(dialog); return TRUE;
    }
    return FALSE;
}

INT_PTR CALLBACK structureViewProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    // FALSE: the main window keeps the focus.
    case WM_INITDIALOG: prepareListDialog(dialog, listOf(dialog), nullptr, 0); return FALSE;
    case WM_SIZE:
        layOut(dialog);
        if (wParam != SIZE_MINIMIZED) keepModelessViewPlace(view, dialog);
        return TRUE;
    case WM_MOVE: keepModelessViewPlace(view, dialog); return TRUE;
    case WM_NOTIFY: return onNotify(dialog, reinterpret_cast<const NMHDR*>(lParam));
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK: openSelectedRow(dialog); return TRUE;
        // The core hides the view and unchecks its menu item.
        case IDCANCEL: toggleStructureView(); return TRUE;
        }
        return FALSE;
    case WM_CLOSE: toggleStructureView(); return TRUE;
    case WM_DESTROY:
        if (dialog == view.window) filled = false;
        forgetModelessView(view, dialog);
        return TRUE;
    }
    return FALSE;
}

}  // namespace

void showStructureView(bool shown)
{
    showModelessView(view, shown, refresh);
}

HWND structureViewWindow()
{
    return view.window;
}

void enableStructureView(bool enabled)
{
    enableModelessView(view, enabled);
}
