#pragma once
#include <cstdint>

#include "disk/source.h"

constexpr int DRIVE_COUNT = 26;

// GetDriveTypeA's answers.
constexpr unsigned DRIVE_TYPE_UNKNOWN = 0;
constexpr unsigned DRIVE_TYPE_NO_ROOT_DIR = 1;
constexpr unsigned DRIVE_TYPE_REMOVABLE = 2;
constexpr unsigned DRIVE_TYPE_FIXED = 3;
constexpr unsigned DRIVE_TYPE_REMOTE = 4;
constexpr unsigned DRIVE_TYPE_CDROM = 5;
constexpr unsigned DRIVE_TYPE_RAMDISK = 6;

// 1 for each drive, A to Z, whose sectors can be edited; as of the last refresh.
extern uint8_t supportedDrives[DRIVE_COUNT];

const char* driveTypeLabel(unsigned type);
bool isEditableDriveType(unsigned type);

const char* driveTypeName(int drive);
bool isSupportedDrive(int drive);
void refreshSupportedDrives();

// A source choice list: "%c:" for each supported drive in letter order, then
// on Windows NT each physical disk that answers ("ﾃﾞｨｽｸ0  64 MB  512ﾊﾞｲﾄ"),
// and the entry of `current` when it is listed (else -1).
constexpr int SOURCE_CHOICE_SIZE = 40;
struct DriveChoices {
    char entries[DRIVE_COUNT + PHYSICAL_DISK_COUNT][SOURCE_CHOICE_SIZE];
    int count;
    int selected;
};

// Refreshes the table first, as each dialog that offers drives does on opening.
DriveChoices listDriveChoices(Source current);
// The source a chosen entry names, NO_SOURCE when it names none.
Source sourceFromChoice(const char* entry);
