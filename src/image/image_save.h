#pragma once
#include <cstdint>

#include "disk/sector_io.h"
#include "image/drive_image.h"

// The ranges of a drive the image save offers, in the order of its list.
enum class SaveRange : int {
    WholeDrive = 0,
    Ipl = 1,
    Fat = 2,
    Dir = 3,
    Data = 4,
    UserSpecified = 5,
};

constexpr int SAVE_RANGE_COUNT = 6;
extern const char* const SAVE_RANGE_NAMES[SAVE_RANGE_COUNT];

// The range last saved or typed; the user-specified fields show them.
extern SectorNumber imageSaveStart;
extern SectorNumber imageSaveCount;

// Where `range` lies on the drive, into `start` and `count` (the user's own
// range: as they hold it); false, with the message shown, where the range is
// refused on this drive or does not lie inside its volume.
bool resolveSaveRange(SaveRange range, const ImageDrive& target, SectorNumber& start,
                      SectorNumber& count);

// The dialog's execute: the sectors of `range` of `source` (NO_SOURCE for none) into
// the file named by `fileText`. Every outcome is told in a message box.
void runImageSave(const char* fileText, Source source, SaveRange range);
