#pragma once
#include <cstddef>
#include <cstdint>

#include "disk/source.h"
#include "platform/files.h"

// A label of 32 double-byte characters, and its end.
constexpr uint32_t MEDIUM_LABEL_SIZE = 65;

// What tells one medium from another behind the same drive letter or file
// name (a floppy or a card swapped, a file replaced): a write is taken back
// only onto the medium it was made on.
struct MediumIdentity {
    uint64_t serialNumber;          // the boot sector's, else the system's
    uint64_t bytes;                 // the whole drive or file
    uint32_t sectorSize;
    char label[MEDIUM_LABEL_SIZE];  // the boot sector's beside its serial, else the system's
    char path[FILE_PATH_SIZE];      // an image file's; empty for a drive or disk
};

// The medium `source` holds now. `newBootSector`: the
// bytes about to be written over sector 0, which then identify it; null: its
// sector 0 is read. False when the medium's size cannot be learned.
bool identifyMedium(Source source, const uint8_t* newBootSector, MediumIdentity& medium);

bool isSameMedium(const MediumIdentity& a, const MediumIdentity& b);

// The drive ("Ａドライブ"), the disk ("ディスク0") or the file (its path) as a
// message names it, with `label` in brackets when there is one (null: none).
void nameMedium(Source source, const char* path, const char* label, char* text, size_t size);
