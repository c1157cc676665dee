#pragma once
#include <cstdint>

#include "disk/sector_io.h"
#include "volume/medium.h"

// The last sector writes, newest last: what each sector held before and
// what was written over it, so a write can be taken back. They are kept in
// a file beside the INI file as well, so an exit or a crash does not lose them.
constexpr int WRITTEN_SECTORS_MAX = 16;

struct WrittenSector {
    Source source;  // an image file is the one named in `medium`
    uint32_t size;
    SectorNumber sector;
    MediumIdentity medium;  // what the drive held
    uint8_t before[IMAGE_BUFFER_SIZE];
    uint8_t after[IMAGE_BUFFER_SIZE];
};

struct WrittenSectors {
    WrittenSector writes[WRITTEN_SECTORS_MAX];
    int32_t count;
};

extern WrittenSectors writtenSectors;

// The file's records as the last run left them; a file that is missing,
// short or not of this program keeps none.
void loadWrittenSectors();
// Kept before the write goes to the disk; the oldest goes when all are taken.
void keepWrittenSector(Source source, SectorNumber sector, uint32_t size, const MediumIdentity& medium,
                       const uint8_t* before, const uint8_t* after);
// The newest record of `source`, and for the image file of the file at
// `path`: its index, -1 for none.
int newestWriteOf(Source source, const char* path);
// The record at `index` goes: its write failed, or was taken back.
void forgetWrittenSector(int index);
