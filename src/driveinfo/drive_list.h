#pragma once
#include <cstdint>

#include "volume/drive_types.h"

// The all-drives list: a row per removable, fixed, network, CD-ROM and RAM
// drive, with its volume facts in six columns.
constexpr int DRIVE_LIST_COLUMNS = 6;
constexpr int DRIVE_LIST_TEXT_SIZE = 261;  // a volume label's MAX_PATH + 1; the five feature texts at once
constexpr int DRIVE_TYPE_ICON_COUNT = 5;

extern const char* const DRIVE_LIST_HEADERS[DRIVE_LIST_COLUMNS];

// Icon index in SHELL32.DLL of each image of the list, in image order.
extern const int DRIVE_TYPE_ICONS[DRIVE_TYPE_ICON_COUNT];

struct DriveRow {
    int drive;
    int image;  // index into DRIVE_TYPE_ICONS
    bool hasVolume;  // false: only the first column is filled
    char texts[DRIVE_LIST_COLUMNS][DRIVE_LIST_TEXT_SIZE];
};

// The rows in letter order; a row's item parameter is its index here.
struct DriveRows {
    DriveRow rows[DRIVE_COUNT];
    int count;
};

extern DriveRows driveRows;

// 0 not sorted yet, 1 ascending, 2 descending.
extern int columnSortOrder[DRIVE_LIST_COLUMNS];

void fileSystemFlagsText(uint32_t flags, char out[DRIVE_LIST_TEXT_SIZE]);

// On opening: reads every drive afresh and resets the sort states.
void buildDriveRows();

// A click on a column's header: the next order for it.
void clickDriveColumn(int column);

// The sort comparison of two rows by their item parameters, in the column's
// current order. It reads the rows' texts, never the list control.
int compareDriveRows(intptr_t param1, intptr_t param2, int column);
