#include "image/image_dialogs_win32.h"
#include "image/drive_image.h"

#include <commctrl.h>

#include <cstdio>
#include <initializer_list>

#include "editor/editor_state.h"
#include "editor/navigation.h"
#include "image/image_restore.h"
#include "image/image_save.h"
#include "platform/files.h"
#include "platform/platform.h"
#include "platform/run_window_win32.h"
#include "res/resource.h"
#include "volume/drive_combo_win32.h"

namespace {

const int FIELD_IDS[] = {IDC_IMAGE_START, IDC_IMAGE_COUNT};
constexpr int NUMBER_DIGITS = 20;  // 2^64 - 1

// Empty text, no number, or one past 64 bits reads as 0.
void takeField(const RangeControls& range, HWND dialog, int field)
{
    if (range.fields[field] == nullptr) return;
    char text[NUMBER_DIGITS + 2] = "";
    GetDlgItemTextA(dialog, FIELD_IDS[field], text, sizeof text);
    if (!parseSectorNumber(text, *range.fields[field])) *range.fields[field] = 0;
}

}  // namespace

int selectedRangeEntry(HWND dialog)
{
    return int(SendDlgItemMessageA(dialog, IDC_IMAGE_RANGE, CB_GETCURSEL, 0, 0));
}

void openRangeControls(const RangeControls& range, HWND dialog)
{
    fillDriveCombo(GetDlgItem(dialog, IDC_IMAGE_DRIVE), editor.source);
    offerShownPartition(*range.fields[0], range.fields[1]);
    for (int entry = range.entryCount - 1; entry >= 0; entry--)
        SendDlgItemMessageA(dialog, IDC_IMAGE_RANGE, CB_INSERTSTRING, 0,
                            reinterpret_cast<LPARAM>(range.entries[entry]));
    SendDlgItemMessageA(dialog, IDC_IMAGE_RANGE, CB_SETCURSEL, 0, 0);
    for (int field = 0; field < 2; field++)
        if (range.fields[field] != nullptr)
            SendDlgItemMessageA(dialog, FIELD_IDS[field], EM_LIMITTEXT, NUMBER_DIGITS, 0);
}

// The fields are for the user's own range only, and show what it holds.
void showRangeFields(const RangeControls& range, HWND dialog, bool enabled)
{
    EnableWindow(GetDlgItem(dialog, IDC_IMAGE_DRIVE), enabled);
    EnableWindow(GetDlgItem(dialog, IDC_IMAGE_RANGE), enabled);
    bool user = selectedRangeEntry(dialog) == range.userEntry;
    for (int field = 0; field < 2; field++) {
        if (range.fields[field] == nullptr) continue;
        EnableWindow(GetDlgItem(dialog, FIELD_IDS[field]), enabled && user);
        if (!user) continue;
        char number[NUMBER_DIGITS + 1];
        std::snprintf(number, sizeof number, "%llu", (unsigned long long)*range.fields[field]);
        SetDlgItemTextA(dialog, FIELD_IDS[field], number);
    }
}

void takeRangeNotification(const RangeControls& range, HWND dialog, int id, int notification)
{
    if (id == IDC_IMAGE_RANGE && notification == CBN_SELCHANGE)
        SendMessageA(dialog, WM_USER, 0, 0);
    if ((id == IDC_IMAGE_START || id == IDC_IMAGE_COUNT) && notification == EN_CHANGE)
        takeField(range, dialog, id == IDC_IMAGE_COUNT);
}

namespace {

// What tells the three dialogs apart.
struct ImageDialog {
    RangeControls range;
    FileChoice fileChoice;
    void (*run)(const char* fileText, Source source, int entry);
};

void runSave(const char* fileText, Source source, int entry)
{
    runImageSave(fileText, source, SaveRange(entry));
}

void runRestore(const char* fileText, Source source, int entry)
{
    runImageRestore(fileText, source, RestoreStart(entry));
}

void runVerify(const char* fileText, Source source, int entry)
{
    runImageVerify(fileText, source, RestoreStart(entry));
}

const char IMAGE_FILE_FILTER[] = "Drive Image files {*.img;*.fdi;*.dmp;*.dsk;*.sct}\0"
                                 "*.img;*.fdi;*.dmp;*.dsk;*.sct\0"
                                 "All files {*.*}\0*.*\0";

const ImageDialog SAVE_DIALOG = {
    {SAVE_RANGE_NAMES, SAVE_RANGE_COUNT, int(SaveRange::UserSpecified),
     {&imageSaveStart, &imageSaveCount}},
    {FileDialog::Open, IMAGE_FILE_FILTER, "img"},
    runSave,
};

const ImageDialog RESTORE_DIALOG = {
    {RESTORE_START_NAMES, RESTORE_START_COUNT, int(RestoreStart::UserSpecified),
     {&imageRestoreStart, nullptr}},
    {FileDialog::OpenExisting, IMAGE_FILE_FILTER, "img"},
    runRestore,
};

const ImageDialog VERIFY_DIALOG = {
    {RESTORE_START_NAMES, RESTORE_START_COUNT, int(RestoreStart::UserSpecified),
     {&imageVerifyStart, nullptr}},
    {FileDialog::OpenExisting, IMAGE_FILE_FILTER, "img"},
    runVerify,
};

void open(const ImageDialog& kind, HWND dialog)
{
    openRangeControls(kind.range, dialog);
    SendDlgItemMessageA(dialog, IDC_IMAGE_PROGRESS, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    SendMessageA(dialog, WM_USER, 0, 0);
}

void browse(const ImageDialog& kind, HWND dialog)
{
    EnableWindow(dialog, FALSE);
    if (chooseFileOfKind(kind.fileChoice)) SetDlgItemTextA(dialog, IDC_IMAGE_FILE, lastFilePath);
    EnableWindow(dialog, TRUE);
}

// During a run only 戻る answers: it stops the run after its current chunk.
void enableChoices(HWND dialog, bool enable)
{
    for (int id : {IDC_IMAGE_DRIVE, IDC_IMAGE_RANGE, IDC_IMAGE_START, IDC_IMAGE_COUNT,
                   IDC_IMAGE_FILE, IDC_IMAGE_BROWSE, IDOK})
        EnableWindow(GetDlgItem(dialog, id), enable);
}

void execute(const ImageDialog& kind, HWND dialog)
{
    char fileText[FILE_PATH_SIZE] = "";
    GetDlgItemTextA(dialog, IDC_IMAGE_FILE, fileText, sizeof fileText);
    Source source = comboSource(GetDlgItem(dialog, IDC_IMAGE_DRIVE));
    enableChoices(dialog, false);
    beginRunWindow(dialog);
    kind.run(fileText, source, selectedRangeEntry(dialog));
    endRunWindow();
    enableChoices(dialog, true);
    SendMessageA(dialog, WM_USER, 0, 0);
}

INT_PTR onCommand(const ImageDialog& kind, HWND dialog, int id, int notification)
{
    switch (id) {
    case IDOK:
        if (!isRunWindow(dialog)) execute(kind, dialog);
        return TRUE;
    case IDCANCEL: stopRunOrEndDialog(dialog); return TRUE;
    case IDC_IMAGE_BROWSE: browse(kind, dialog); return TRUE;
    }
    takeRangeNotification(kind.range, dialog, id, notification);
    return FALSE;
}

INT_PTR imageDialogProc(const ImageDialog& kind, HWND dialog, UINT message, WPARAM wParam)
{
    switch (message) {
    case WM_INITDIALOG: open(kind, dialog); return TRUE;
    case WM_USER: showRangeFields(kind.range, dialog, true); return TRUE;
    case WM_COMMAND: return onCommand(kind, dialog, LOWORD(wParam), HIWORD(wParam));
    }
    return FALSE;
}

}  // namespace

INT_PTR CALLBACK imageSaveDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    return imageDialogProc(SAVE_DIALOG, dialog, message, wParam);
}

INT_PTR CALLBACK imageRestoreDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    return imageDialogProc(RESTORE_DIALOG, dialog, message, wParam);
}

INT_PTR CALLBACK imageVerifyDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    return imageDialogProc(VERIFY_DIALOG, dialog, message, wParam);
}
