#include "driveinfo/drive_dialogs_win32.h"

#include <commctrl.h>
#include <shellapi.h>

#include "driveinfo/drive_list.h"
#include "platform/common_controls_win32.h"
#include "platform/commands.h"
#include "res/resource.h"

namespace {

HWND listOf(HWND dialog)
{
    return GetDlgItem(dialog, IDC_ALLINFO_LIST);
}

void insertColumns(HWND list)
{
    for (int column = 0; column < DRIVE_LIST_COLUMNS; column++) {
        LVCOLUMNA header = {};
        header.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        header.fmt = LVCFMT_LEFT;
        header.pszText = const_cast<char*>(DRIVE_LIST_HEADERS[column]);
        header.iSubItem = column;
        SendMessageA(list, LVM_INSERTCOLUMNA, column, LPARAM(&header));
    }
}

using ImageListCreateFn = HIMAGELIST(WINAPI*)(int, int, UINT, int, int);
using ImageListReplaceIconFn = int(WINAPI*)(HIMAGELIST, int, HICON);

// An icon the shell does not give keeps its place with the system's own.
void setDriveTypeIcons(HWND list)
{
    HMODULE controls = loadCommonControls();
    auto create = reinterpret_cast<ImageListCreateFn>(
        reinterpret_cast<void*>(GetProcAddress(controls, "ImageList_Create")));
    auto replaceIcon = reinterpret_cast<ImageListReplaceIconFn>(
        reinterpret_cast<void*>(GetProcAddress(controls, "ImageList_ReplaceIcon")));
    if (create == nullptr || replaceIcon == nullptr) return;
    HIMAGELIST images = create(16, 16, ILC_COLOR4 | ILC_MASK, 1, 1);
    for (int index : DRIVE_TYPE_ICONS) {
        HICON icon = ExtractIconA(GetModuleHandleA(nullptr), "SHELL32.DLL", index);
        bool extracted = icon != nullptr && icon != HICON(1);
        replaceIcon(images, -1, extracted ? icon : LoadIconA(nullptr, MAKEINTRESOURCEA(32512)));
        if (extracted) DestroyIcon(icon);
    }
    SendMessageA(list, LVM_SETIMAGELIST, LVSIL_SMALL, LPARAM(images));
}

void insertRow(HWND list, int index, const DriveRow& row)
{
    LVITEMA item = {};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    item.iItem = index;
    item.pszText = const_cast<char*>(row.texts[0]);
    item.iImage = row.image;
    item.lParam = index;
    int at = int(SendMessageA(list, LVM_INSERTITEMA, 0, LPARAM(&item)));
    if (!row.hasVolume) return;
    for (int column = 1; column < DRIVE_LIST_COLUMNS; column++) {
        LVITEMA cell = {};
        cell.mask = LVIF_TEXT;
        cell.iItem = at;
        cell.iSubItem = column;
        cell.pszText = const_cast<char*>(row.texts[column]);
        SendMessageA(list, LVM_SETITEMA, 0, LPARAM(&cell));
    }
}

// The list stretches its last column to its right edge: sized with an empty
// column after it, the last one fits its texts as the others do.
void sizeColumns(HWND list)
{
    LVCOLUMNA spacer = {};
    spacer.mask = LVCF_WIDTH;
    bool added = SendMessageA(list, LVM_INSERTCOLUMNA, DRIVE_LIST_COLUMNS, LPARAM(&spacer)) ==
                 DRIVE_LIST_COLUMNS;
    for (int column = 0; column < DRIVE_LIST_COLUMNS; column++)
        SendMessageA(list, LVM_SETCOLUMNWIDTH, column, LVSCW_AUTOSIZE_USEHEADER);
    if (added) SendMessageA(list, LVM_DELETECOLUMN, DRIVE_LIST_COLUMNS, 0);
}

// An empty floppy or CD-ROM drive must give a bare row, not a system box.
void fillRows(HWND list)
{
    UINT errorMode = SetErrorMode(SEM_FAILCRITICALERRORS);
    buildDriveRows();
    SetErrorMode(errorMode);
    for (int index = 0; index < driveRows.count; index++) insertRow(list, index, driveRows.rows[index]);
    sizeColumns(list);
}

void coverClientArea(HWND dialog)
{
    RECT client;
    GetClientRect(dialog, &client);
    MoveWindow(listOf(dialog), 0, 0, client.right, client.bottom, TRUE);
}

int CALLBACK compareRows(LPARAM param1, LPARAM param2, LPARAM column)
{
    return compareDriveRows(param1, param2, int(column));
}

void initDialog(HWND dialog)
{
    HWND list = listOf(dialog);
    HWND owner = GetWindow(dialog, GW_OWNER);
    if (owner != nullptr)
        SendMessageA(dialog, WM_SETICON, ICON_SMALL, LPARAM(GetClassLongPtrA(owner, GCLP_HICONSM)));
    insertColumns(list);
    setDriveTypeIcons(list);
    fillRows(list);
    coverClientArea(dialog);
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT);
}

}  // namespace

INT_PTR CALLBACK allDrivesDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: initDialog(dialog); return TRUE;
    case WM_SIZE: coverClientArea(dialog); return TRUE;
    case WM_NOTIFY: {
        const NMLISTVIEW* notice = reinterpret_cast<const NMLISTVIEW*>(lParam);
        if (notice->hdr.idFrom != IDC_ALLINFO_LIST || notice->hdr.code != LVN_COLUMNCLICK)
            return FALSE;
        clickDriveColumn(notice->iSubItem);
        SendMessageA(listOf(dialog), LVM_SORTITEMS, notice->iSubItem, LPARAM(compareRows));
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL || LOWORD(wParam) == CMD_EXIT) {
            EndDialog(dialog, 1);
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}
