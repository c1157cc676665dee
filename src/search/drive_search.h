#pragma once
#include <cstdint>

#include "disk/sector_io.h"
#include "search/byte_search.h"

enum class SearchEnd {
    Found,
    NotFound,
    Stopped,     // by the user
    Unreadable,  // at `sector`: the drive beyond it was not searched
    NoRun,       // the drive could not be held for reading
    NoMemory,
};

struct SearchResult {
    SearchEnd end;
    uint64_t at;  // the match's first byte, counted from the drive's
    SectorNumber sector;
};

// Searches the `sectorCount` sectors of `source` for `pattern`, from byte
// `from` on (backwards: before it), in large reads under one read-only hold
// of the drive, with the run's progress and its stop.
SearchResult searchDrive(Source source, uint32_t sectorSize, SectorNumber sectorCount,
                         const SearchPattern& pattern, bool backward, uint64_t from);
