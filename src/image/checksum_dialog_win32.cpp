#include "image/checksum_dialog_win32.h"

#include <commctrl.h>

#include <initializer_list>

#include "image/checksum.h"
#include "image/image_dialogs_win32.h"
#include "image/image_save.h"
#include "platform/run_window_win32.h"
#include "res/resource.h"
#include "volume/drive_combo_win32.h"

namespace {

// The drive ranges are the image save's.
const RangeControls CHECKSUM_RANGE = {
    SAVE_RANGE_NAMES, SAVE_RANGE_COUNT, int(SaveRange::UserSpecified),
    {&checksumStart, &checksumCount}};

const int TARGET_IDS[] = {IDC_CHECKSUM_SELECTION, IDC_CHECKSUM_SECTOR, IDC_CHECKSUM_DRIVE};

ChecksumTarget checkedTarget(HWND dialog)
{
    if (IsDlgButtonChecked(dialog, IDC_CHECKSUM_SELECTION) == BST_CHECKED)
        return ChecksumTarget::Selection;
    if (IsDlgButtonChecked(dialog, IDC_CHECKSUM_SECTOR) == BST_CHECKED)
        return ChecksumTarget::ShownSector;
    return ChecksumTarget::DriveRange;
}

// The selection where there is one, else the sector shown, else a drive.
void open(HWND dialog)
{
    openRangeControls(CHECKSUM_RANGE, dialog);
    SendDlgItemMessageA(dialog, IDC_IMAGE_PROGRESS, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    EnableWindow(GetDlgItem(dialog, IDC_CHECKSUM_SELECTION), hasSelectionToChecksum());
    EnableWindow(GetDlgItem(dialog, IDC_CHECKSUM_SECTOR), hasSectorToChecksum());
    int first = hasSelectionToChecksum() ? IDC_CHECKSUM_SELECTION
                : hasSectorToChecksum()  ? IDC_CHECKSUM_SECTOR
                                         : IDC_CHECKSUM_DRIVE;
    CheckRadioButton(dialog, IDC_CHECKSUM_SELECTION, IDC_CHECKSUM_DRIVE, first);
    checksumText[0] = '\0';
    EnableWindow(GetDlgItem(dialog, IDC_CHECKSUM_COPY), FALSE);
    SendMessageA(dialog, WM_USER, 0, 0);
}

// The drive's controls count only for a drive range.
void showChoices(HWND dialog)
{
    showRangeFields(CHECKSUM_RANGE, dialog, checkedTarget(dialog) == ChecksumTarget::DriveRange);
}

// During a run only 閉じる answers: it stops the run after its current chunk.
void enableChoices(HWND dialog, bool enable)
{
    for (int id : {IDC_CHECKSUM_DRIVE, IDC_IMAGE_DRIVE, IDC_IMAGE_RANGE, IDC_IMAGE_START,
                   IDC_IMAGE_COUNT, IDOK})
        EnableWindow(GetDlgItem(dialog, id), enable);
    EnableWindow(GetDlgItem(dialog, IDC_CHECKSUM_SELECTION), enable && hasSelectionToChecksum());
    EnableWindow(GetDlgItem(dialog, IDC_CHECKSUM_SECTOR), enable && hasSectorToChecksum());
    EnableWindow(GetDlgItem(dialog, IDC_CHECKSUM_COPY), enable && checksumText[0] != '\0');
}

// The last result goes before the run: a failed one never stands beside it.
void compute(HWND dialog)
{
    Source source = comboSource(GetDlgItem(dialog, IDC_IMAGE_DRIVE));
    checksumText[0] = '\0';
    SetDlgItemTextA(dialog, IDC_CHECKSUM_RESULT, "");
    enableChoices(dialog, false);
    beginRunWindow(dialog);
    computeChecksums(checkedTarget(dialog), source, SaveRange(selectedRangeEntry(dialog)));
    endRunWindow();
    SetDlgItemTextA(dialog, IDC_CHECKSUM_RESULT, checksumText);
    enableChoices(dialog, true);
    SendMessageA(dialog, WM_USER, 0, 0);
}

INT_PTR onCommand(HWND dialog, int id, int notification)
{
    switch (id) {
    case IDOK:
        if (!isRunWindow(dialog)) compute(dialog);
        return TRUE;
    case IDCANCEL: stopRunOrEndDialog(dialog); return TRUE;
    case IDC_CHECKSUM_COPY: copyChecksums(); return TRUE;
    }
    for (int target : TARGET_IDS)
        if (id == target && notification == BN_CLICKED) SendMessageA(dialog, WM_USER, 0, 0);
    takeRangeNotification(CHECKSUM_RANGE, dialog, id, notification);
    return FALSE;
}

}  // namespace

INT_PTR CALLBACK checksumDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG: open(dialog); return TRUE;
    case WM_USER: showChoices(dialog); return TRUE;
    case WM_COMMAND: return onCommand(dialog, LOWORD(wParam), HIWORD(wParam));
    }
    return FALSE;
}
