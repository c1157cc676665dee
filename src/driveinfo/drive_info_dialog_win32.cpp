#include "driveinfo/drive_dialogs_win32.h"
#include "driveinfo/drive_details.h"
#include "driveinfo/shell_menu_win32.h"
#include "editor/editor_state.h"
#include "res/resource.h"
#include "volume/drive_types.h"

namespace {

using FormatDriveCall = DWORD(WINAPI*)(HWND, UINT, UINT, UINT);

// Where the shell's menu has no format item in any language it knows, its
// own format dialog stands in for a removable, fixed or RAM disk; a CD-ROM
// or network drive follows its menu alone.
FormatDriveCall systemFormatDialog(int drive)
{
    if (!isSupportedDrive(drive)) return nullptr;
    HMODULE shell = GetModuleHandleA("SHELL32.DLL");
    return shell == nullptr ? nullptr
                            : reinterpret_cast<FormatDriveCall>(
                                  reinterpret_cast<void*>(GetProcAddress(shell, "SHFormatDrive")));
}

HWND ownerOf(HWND dialog)
{
    return GetWindow(dialog, GW_OWNER);
}

void showDetails(HWND dialog)
{
    DriveDetails details;
    UINT errorMode = SetErrorMode(SEM_FAILCRITICALERRORS);
    readDriveDetails(details);
    SetErrorMode(errorMode);
    SetWindowTextA(dialog, details.title);
    for (int field = 0; field < DETAIL_FIELD_COUNT; field++)
        SetDlgItemTextA(dialog, IDC_INFO_FIRST_FIELD + field, details.fields[field]);
}

void enableShellButtons(HWND dialog)
{
    HWND owner = ownerOf(dialog);
    int drive = editor.source.number;  // the command is there for drive letters only
    bool format = driveContextCommand(owner, drive, FORMAT_TEXTS, false) ||
                  systemFormatDialog(drive) != nullptr;
    EnableWindow(GetDlgItem(dialog, IDC_INFO_FORMAT), format);
    EnableWindow(GetDlgItem(dialog, IDC_INFO_EJECT),
                 driveContextCommand(owner, drive, EJECT_TEXTS, false));
}

void runFormat(HWND dialog)
{
    HWND owner = ownerOf(dialog);
    if (driveContextCommand(owner, editor.source.number, FORMAT_TEXTS, true)) return;
    if (FormatDriveCall formatDrive = systemFormatDialog(editor.source.number))
        formatDrive(owner, UINT(editor.source.number), 0xFFFF, 0);
}

}  // namespace

INT_PTR CALLBACK driveInfoDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG) {
        CoInitialize(nullptr);
        openShellAllocator();
        showDetails(dialog);
        enableShellButtons(dialog);
        return TRUE;
    }
    if (message == WM_DESTROY) {
        closeShellAllocator();
        CoUninitialize();
        return FALSE;
    }
    if (message != WM_COMMAND) return FALSE;
    switch (LOWORD(wParam)) {
    case IDC_INFO_PROPERTIES:
        driveContextCommand(ownerOf(dialog), editor.source.number, PROPERTIES_TEXTS, true);
        return TRUE;
    case IDC_INFO_FORMAT: runFormat(dialog); return TRUE;
    case IDC_INFO_EJECT:
        driveContextCommand(ownerOf(dialog), editor.source.number, EJECT_TEXTS, true);
        return TRUE;
    case IDCANCEL: EndDialog(dialog, 1); return TRUE;
    }
    return FALSE;
}
