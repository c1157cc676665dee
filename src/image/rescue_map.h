#pragma once
#include <cstddef>
#include <cstdint>

#include "disk/sector_io.h"
#include "image/drive_image.h"

// What became of each sector of a range saved from a failing drive, kept in
// GNU ddrescue's map file format so that ddrescue and ddrescuelog read it.
// The characters are that format's own.
enum class MapStatus : char {
    NonTried = '?',
    NonTrimmed = '*',   // a read of many sectors failed here
    NonScraped = '/',   // between the failed edges of such an area
    Bad = '-',          // read alone, and failed
    Finished = '+',     // read, and in the image
};

constexpr int MAP_STATUS_COUNT = 5;

struct MapBlock {
    SectorNumber first;  // counted from the range's first sector
    SectorNumber count;
    MapStatus status;
};

// The blocks cover the range without gaps, in order, neighbours of one
// status merged. The file's positions are bytes on the drive.
struct RescueMap {
    RescueMap() = default;
    ~RescueMap();
    RescueMap(const RescueMap&) = delete;
    RescueMap& operator=(const RescueMap&) = delete;

    SectorNumber first = 0;  // on the drive
    SectorNumber count = 0;
    uint32_t sectorSize = 0;
    MapBlock* blocks = nullptr;
    uint32_t blockCount = 0;
    uint32_t capacity = 0;
    // The sectors of each status, kept as the blocks change: a run asks for
    // them after every read, and a badly damaged drive's map has many blocks.
    SectorNumber tally[MAP_STATUS_COUNT] = {};
    // The file's status line: where the run is and what it is doing there
    // (MapStatus::Finished once it has ended).
    SectorNumber position = 0;
    MapStatus phase = MapStatus::NonTried;
};

// The whole range not yet tried; false when there is no memory for it.
bool beginMap(RescueMap& map, SectorNumber first, SectorNumber count, uint32_t sectorSize);
// `count` sectors from `at` take `status`; false (the map unchanged) when
// there is no memory for the blocks.
bool markSectors(RescueMap& map, SectorNumber at, SectorNumber count, MapStatus status);
MapStatus statusAt(const RescueMap& map, SectorNumber sector);
// The first stretch of `status` that ends after `from`, cut to begin at it
// at the earliest; false when there is none.
bool nextStretch(const RescueMap& map, SectorNumber from, MapStatus status, SectorRange& found);
// The last stretch of `status` that begins before `end`, cut to end there at
// the latest.
bool previousStretch(const RescueMap& map, SectorNumber end, MapStatus status,
                     SectorRange& found);
SectorNumber sectorsWith(const RescueMap& map, MapStatus status);
// Sectors the image holds no content of: every status but Finished.
SectorNumber unreadSectors(const RescueMap& map);
// Those of them before `end`: an image cut short holds only its first sectors.
SectorNumber unreadSectorsBefore(const RescueMap& map, SectorNumber end);

// The map as its file holds it, from malloc (the caller frees it), its
// length in `length`; null when there is no memory for it.
char* formatMap(const RescueMap& map, size_t& length);
// A map file's text, of `length` bytes, into `map`: false when it is not one
// (a line that is not a status or a block, a gap or overlap between blocks,
// a number past 64 bits), or a position or size is not of whole sectors of
// `sectorSize` bytes.
bool parseMap(const char* text, size_t length, uint32_t sectorSize, RescueMap& map);
