#include "search/drive_search.h"

#include <algorithm>

#include "disk/sector_run.h"
#include "platform/platform.h"

namespace {

struct DriveScan {
    Source source;
    uint32_t sectorSize;
    ChunkSearch search;
    uint8_t* buffer;
};

SearchResult found(const DriveScan& scan, uint64_t at)
{
    return {SearchEnd::Found, at, at / scan.sectorSize};
}

// A chunk that cannot be read as a whole is read again a sector at a time, in
// the search's order: a match before the bad sector is still found, and the
// sector named is the first the search could not read.
SearchResult scanSectors(DriveScan& scan, SectorNumber first, uint32_t count)
{
    uint64_t at = 0;
    uint32_t size = scan.sectorSize;
    if (SectorIo::transfer(SectorOp::Read, scan.source, count, first, scan.buffer) ==
        SECTOR_STATUS_OK) {
        if (searchChunk(scan.search, scan.buffer, count * size, first * size, at))
            return found(scan, at);
        return {SearchEnd::NotFound, 0, 0};
    }
    for (uint32_t k = 0; k < count; k++) {
        SectorNumber sector = scan.search.backward ? first + count - 1 - k : first + k;
        if (SectorIo::transfer(SectorOp::Read, scan.source, 1, sector, scan.buffer) !=
            SECTOR_STATUS_OK)
            return {SearchEnd::Unreadable, 0, sector};
        if (searchChunk(scan.search, scan.buffer, size, sector * size, at)) return found(scan, at);
    }
    return {SearchEnd::NotFound, 0, 0};
}

// Sectors [first, end) in chunks, upwards or downwards.
SearchResult scanRange(DriveScan& scan, SectorNumber first, SectorNumber end)
{
    uint32_t chunk = runChunkSectors(scan.sectorSize);
    SectorNumber count = end - first;
    RunProgress progress;
    for (SectorNumber done = 0; done < count;) {
        showRunProgress(progress, done, count);
        uint32_t step = uint32_t(std::min<SectorNumber>(chunk, count - done));
        SectorNumber sector = scan.search.backward ? end - done - step : first + done;
        SearchResult result = scanSectors(scan, sector, step);
        if (result.end != SearchEnd::NotFound) return result;
        done += step;
        if (done < count && !platform.continueRun()) return {SearchEnd::Stopped, 0, 0};
    }
    return {SearchEnd::NotFound, 0, 0};
}

}  // namespace

SearchResult searchDrive(Source source, uint32_t sectorSize, SectorNumber sectorCount,
                         const SearchPattern& pattern, bool backward, uint64_t from)
{
    // Backwards, a match that starts before `from` may end as far as
    // pattern.length - 1 bytes past it.
    SectorNumber first = backward ? 0 : from / sectorSize;
    SectorNumber end = sectorCount;
    if (backward) end = from == 0 ? 0 : std::min(end, (from + pattern.length - 2) / sectorSize + 1);
    if (first >= end) return {SearchEnd::NotFound, 0, 0};

    RunBuffer buffer(runChunkSectors(sectorSize) * sectorSize);
    if (buffer.bytes == nullptr) return {SearchEnd::NoMemory, 0, 0};
    if (!SectorIo::beginRun(SectorOp::Read, source, sectorSize, false))
        return {SearchEnd::NoRun, 0, 0};
    DriveScan scan = {source, sectorSize, {}, buffer.bytes};
    beginChunkSearch(scan.search, pattern, backward, from);
    SearchResult result = scanRange(scan, first, end);
    SectorIo::endRun(false);
    return result;
}
