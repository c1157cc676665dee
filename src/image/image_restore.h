#pragma once
#include <cstdint>

#include "disk/sector_io.h"

// Where on the drive the image restore starts writing, in the order of its list.
enum class RestoreStart : int {
    DriveStart = 0,
    Fat = 1,
    Dir = 2,
    Data = 3,
    UserSpecified = 4,
};

constexpr int RESTORE_START_COUNT = 5;
extern const char* const RESTORE_START_NAMES[RESTORE_START_COUNT];

// The first sector last restored to or typed; the user-specified field shows it.
extern SectorNumber imageRestoreStart;
// The same for the verify, which starts where the user chooses as a restore does.
extern SectorNumber imageVerifyStart;

// Bytes 11 to 31 of two boot sectors, the BIOS parameter block, are equal.
bool sameDriveLayout(const uint8_t* imageFirstSector, const uint8_t* driveFirstSector);

// The dialog's execute: the image file named by `fileText` onto `source` (NO_SOURCE
// for none) from `start`. Every outcome is told in a message box.
void runImageRestore(const char* fileText, Source source, RestoreStart start);

// The verify dialog's execute: compares the image file named by `fileText`
// with `source` (NO_SOURCE for none) from `start`, writing nothing. Every outcome is
// told in a message box: they match, the first sector that differs or cannot
// be read, or a stop.
void runImageVerify(const char* fileText, Source source, RestoreStart start);
