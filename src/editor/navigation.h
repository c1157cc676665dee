#pragma once
#include <cstdint>

#include "disk/sector_io.h"

// Shows `sector` of `source`: true when it is now shown; false when nothing
// changed (the user kept the edits, or the source or its volume failed).
// A sector past the source's last is refused with a message.
bool loadSector(Source source, SectorNumber sector);

// A sector number as typed: decimal, or hexadecimal as 0x1F or 1Fh, with no
// sign (see position_text.h). False for anything else, an empty text
// included, and for a number past 64 bits.
bool parseSectorNumber(const char* text, SectorNumber& number);

// Moves for the navigation commands (previous, next, the area jumps, Back,
// Refresh); false for any other command.
bool navigate(int command);

// Shows sector 0 of the image file at `path` as IMAGE_FILE_SOURCE, after the
// discard question: false, with the message, when nothing changed.
bool openImageFile(const char* path);
