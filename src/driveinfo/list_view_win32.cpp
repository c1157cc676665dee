#include "driveinfo/list_view_win32.h"

#include <commctrl.h>

void insertListColumns(HWND list, const char* const* headers, int count)
{
    for (int column = 0; column < count; column++) {
        LVCOLUMNA header = {};
        header.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        header.fmt = LVCFMT_LEFT;
        header.pszText = const_cast<char*>(headers[column]);
        header.iSubItem = column;
        SendMessageA(list, LVM_INSERTCOLUMNA, column, LPARAM(&header));
    }
}

void prepareListDialog(HWND dialog, HWND list, const char* const* headers, int count)
{
    HWND owner = GetWindow(dialog, GW_OWNER);
    if (owner != nullptr)
        SendMessageA(dialog, WM_SETICON, ICON_SMALL, LPARAM(GetClassLongPtrA(owner, GCLP_HICONSM)));
    insertListColumns(list, headers, count);
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT);
}

int insertListRow(HWND list, int index, int image, const char* const* texts, int count)
{
    LVITEMA item = {};
    item.mask = LVIF_TEXT | LVIF_PARAM | (image >= 0 ? LVIF_IMAGE : 0);
    item.iItem = index;
    item.pszText = const_cast<char*>(texts[0]);
    item.iImage = image;
    item.lParam = index;
    int at = int(SendMessageA(list, LVM_INSERTITEMA, 0, LPARAM(&item)));
    for (int column = 1; column < count; column++) {
        LVITEMA cell = {};
        cell.mask = LVIF_TEXT;
        cell.iItem = at;
        cell.iSubItem = column;
        cell.pszText = const_cast<char*>(texts[column]);
        SendMessageA(list, LVM_SETITEMA, 0, LPARAM(&cell));
    }
    return at;
}

// The list stretches its last column to its right edge: sized with an empty
// column after it, the last one fits its texts as the others do.
void sizeListColumns(HWND list, int count)
{
    LVCOLUMNA spacer = {};
    spacer.mask = LVCF_WIDTH;
    bool added = SendMessageA(list, LVM_INSERTCOLUMNA, count, LPARAM(&spacer)) == count;
    for (int column = 0; column < count; column++)
        SendMessageA(list, LVM_SETCOLUMNWIDTH, column, LVSCW_AUTOSIZE_USEHEADER);
    if (added) SendMessageA(list, LVM_DELETECOLUMN, count, 0);
}
