#pragma once
#include <cstdint>

#include "disk/sector_io.h"
#include "image/image_save.h"

// What the checksums are taken of.
enum class ChecksumTarget {
    Selection,    // the selected bytes of the sector shown, as shown
    ShownSector,  // the sector shown, as shown: its edits included
    DriveRange,   // sectors of a drive, as it holds them
};

// The drive range last taken or typed; the user's own fields show them.
extern SectorNumber checksumStart;
extern SectorNumber checksumCount;

// The result: for each of CRC-32, MD5, SHA-1 and SHA-256 a comment line
// naming it ("# SHA-256"), then its sum as sha256sum prints one (lower-case
// hex, two blanks, the name of a file of those bytes) or why there is none;
// lines end in CR LF. Empty while there is none.
constexpr uint32_t CHECKSUM_TEXT_SIZE = 1024;
extern char checksumText[CHECKSUM_TEXT_SIZE];

bool hasSelectionToChecksum();
bool hasSectorToChecksum();

// The dialog's 計算: the four sums of `target` in one pass into
// checksumText; a drive range (`range` of `source`, NO_SOURCE for none) under
// one read-only hold of the drive, with the run's progress and its stop.
// False, with the message shown and no result, where no sum was taken.
bool computeChecksums(ChecksumTarget target, Source source, SaveRange range);

// ｺﾋﾟｰ: the result onto the clipboard.
void copyChecksums();
