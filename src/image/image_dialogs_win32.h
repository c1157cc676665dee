#pragma once
#include <windows.h>

#include "disk/sector_io.h"

// The "IMAGESAVE", "IMAGELOAD" and "IMAGEVERIFY" dialogs.
INT_PTR CALLBACK imageSaveDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK imageRestoreDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK imageVerifyDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The drive list and the range list, with the user's own start (and count),
// as the image dialogs and the checksum dialog share them: IDC_IMAGE_DRIVE,
// IDC_IMAGE_RANGE, IDC_IMAGE_START and IDC_IMAGE_COUNT. A dialog that has
// them shows the fields again on WM_USER.
struct RangeControls {
    const char* const* entries;
    int entryCount;
    int userEntry;            // the entry whose start (and count) the user types
    SectorNumber* fields[2];  // the values of IDC_IMAGE_START and IDC_IMAGE_COUNT
};

// The drives, the editor's selected; the entries, the first selected; the
// fields on the partition shown, if any.
void openRangeControls(const RangeControls& range, HWND dialog);
// Enables the lists (and the fields, for the user's own entry) or not.
void showRangeFields(const RangeControls& range, HWND dialog, bool enabled);
// A WM_COMMAND notification: a new entry, or a field typed into.
void takeRangeNotification(const RangeControls& range, HWND dialog, int id, int notification);
int selectedRangeEntry(HWND dialog);
