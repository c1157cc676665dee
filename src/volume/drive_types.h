#pragma once
#include <cstdint>

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

// A drive choice list: "%c:" for each supported drive in letter order, and
// the entry of `currentDrive` when it is listed (else -1).
struct DriveChoices {
    char entries[DRIVE_COUNT][3];
    int count;
    int selected;
};

// Refreshes the table first, as each dialog that offers drives does on opening.
DriveChoices listDriveChoices(int currentDrive);
// The drive index of a chosen entry, -1 when it names no drive.
int driveFromChoice(const char* entry);
