#include "driveinfo/drive_dialogs_win32.h"

#include <commctrl.h>
#include <shellapi.h>

#include "driveinfo/drive_list.h"
#include "driveinfo/list_view_win32.h"
#include "platform/common_controls_win32.h"
#include "platform/commands.h"
#include "res/resource.h"

namespace {

HWND listOf(HWND dialog)
{
    return GetDlgItem(dialog, IDC_ALLINFO_LIST);
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

// A drive without a volume shows its letter alone.
void insertRow(HWND list, int index, const DriveRow& row)
{
    const char* texts[DRIVE_LIST_COLUMNS];
    for (int column = 0; column < DRIVE_LIST_COLUMNS; column++) texts[column] = row.texts[column];
    insertListRow(list, index, row.image, texts, row.hasVolume ? DRIVE_LIST_COLUMNS : 1);
}

// An empty floppy or CD-ROM drive must give a bare row, not a system box.
void fillRows(HWND list)
{
    UINT errorMode = SetErrorMode(SEM_FAILCRITICALERRORS);
    buildDriveRows();
    SetErrorMode(errorMode);
    for (int index = 0; index < driveRows.count; index++) insertRow(list, index, driveRows.rows[index]);
    sizeListColumns(list, DRIVE_LIST_COLUMNS);
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
    prepareListDialog(dialog, list, DRIVE_LIST_HEADERS, DRIVE_LIST_COLUMNS);
    setDriveTypeIcons(list);
    fillRows(list);
    coverClientArea(dialog);
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
