#include "driveinfo/drive_dialogs_win32.h"

#include <commctrl.h>

#include "driveinfo/list_view_win32.h"
#include "driveinfo/partition_list.h"
#include "platform/commands.h"
#include "res/resource.h"

namespace {

HWND listOf(HWND dialog)
{
    return GetDlgItem(dialog, IDC_PARTLIST_LIST);
}

void fillRows(HWND list)
{
    buildPartitionRows();
    for (int32_t index = 0; index < partitionRows.count; index++) {
        const char* texts[PARTITION_LIST_COLUMNS];
        for (int column = 0; column < PARTITION_LIST_COLUMNS; column++)
            texts[column] = partitionRows.rows[index].texts[column];
        insertListRow(list, index, -1, texts, PARTITION_LIST_COLUMNS);
    }
    sizeListColumns(list, PARTITION_LIST_COLUMNS);
}

// The list takes the client area above the line of the table's note.
void coverClientArea(HWND dialog)
{
    RECT client, note;
    GetClientRect(dialog, &client);
    HWND noteLine = GetDlgItem(dialog, IDC_PARTLIST_NOTE);
    GetWindowRect(noteLine, &note);
    int noteHeight = note.bottom - note.top;
    MoveWindow(listOf(dialog), 0, 0, client.right, client.bottom - noteHeight - 4, TRUE);
    MoveWindow(noteLine, 4, client.bottom - noteHeight - 2, client.right - 8, noteHeight, TRUE);
}

void initDialog(HWND dialog)
{
    HWND list = listOf(dialog);
    prepareListDialog(dialog, list, PARTITION_LIST_HEADERS, PARTITION_LIST_COLUMNS);
    fillRows(list);
    SetDlgItemTextA(dialog, IDC_PARTLIST_NOTE, partitionRows.note);
    coverClientArea(dialog);
    LVITEMA first = {};
    first.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    first.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(list, LVM_SETITEMSTATE, 0, LPARAM(&first));
}

// The partition shown closes the list; one that cannot be shown leaves it up.
void showSelected(HWND dialog)
{
    int item = int(SendMessageA(listOf(dialog), LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED));
    if (showPartitionRow(item)) EndDialog(dialog, 1);
}

}  // namespace

INT_PTR CALLBACK partitionListDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: initDialog(dialog); return TRUE;
    case WM_SIZE: coverClientArea(dialog); return TRUE;
    case WM_NOTIFY: {
        const NMHDR* notice = reinterpret_cast<const NMHDR*>(lParam);
        if (notice->idFrom != IDC_PARTLIST_LIST || notice->code != NM_DBLCLK) return FALSE;
        showSelected(dialog);
        return TRUE;
    }
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK: showSelected(dialog); return TRUE;
        case IDCANCEL:
        case CMD_EXIT: EndDialog(dialog, 1); return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}
