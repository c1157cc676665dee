#include "image/rescue_run.h"

#include <algorithm>
#include <cstring>

#include "disk/sector_run.h"
#include "image/map_file.h"
#include "platform/platform.h"

namespace {

// ddrescue's cluster: small enough that a failed read leaves little to
// trim, large enough that the readable areas go at the drive's speed.
constexpr uint32_t RESCUE_READ_BYTES = 64 * 1024;
// The largest skip after failed reads: ddrescue's, a gigabyte.
constexpr uint64_t MAX_SKIP_BYTES = uint64_t(1) << 30;
// The map is written after this much work; a failed read, which can take
// seconds on a failing drive, counts for many.
constexpr uint32_t MAP_WRITE_WORK = 1024;
constexpr uint32_t FAILED_READ_WORK = 16;

struct Rescue {
    const ImageDrive& target;
    void* image;
    RescueMap& map;
    const char* mapPath;
    RunBuffer& buffer;
    uint32_t cluster;  // sectors per read of many
    uint32_t work;
    RunProgress progress;
    RunResult result;
};

bool fail(Rescue& r, MessageId message)
{
    r.result = {RunOutcome::Failed, message, 0, 0};
    return false;
}

bool saveMap(Rescue& r)
{
    return writeMapFile(r.mapPath, r.map) || fail(r, MSG_FILE_WRITE_ERROR);
}

bool mark(Rescue& r, SectorNumber at, SectorNumber count, MapStatus status)
{
    return markSectors(r.map, at, count, status) || fail(r, MSG_OUT_OF_MEMORY);
}

// The bytes of `count` sectors from `at` (counted from the map's first) into
// the image at their place.
bool writeImage(Rescue& r, SectorNumber at, SectorNumber count, const uint8_t* bytes)
{
    uint32_t sectorSize = r.map.sectorSize;
    return (platform.seekFile(r.image, at * sectorSize) &&
            platform.writeFile(r.image, bytes, uint32_t(count * sectorSize))) ||
           fail(r, MSG_FILE_WRITE_ERROR);
}

// After every read: the bar, the map now and then, and the user's stop (the
// map written first, so that it holds every sector read).
bool afterRead(Rescue& r, bool failed)
{
    r.work += failed ? FAILED_READ_WORK : 1;
    if (r.work >= MAP_WRITE_WORK) {
        r.work = 0;
        if (!saveMap(r)) return false;
    }
    SectorNumber open = sectorsWith(r.map, MapStatus::NonTried) +
                        sectorsWith(r.map, MapStatus::NonTrimmed) +
                        sectorsWith(r.map, MapStatus::NonScraped);
    showRunProgress(r.progress, r.map.count - open, r.map.count);
    if (platform.continueRun()) return true;
    r.result = {RunOutcome::Stopped, MSG_RUN_STOPPED, 0, 0};
    saveMap(r);
    return false;
}

// Reads `count` sectors from `at` into the image; they become Finished, or
// `onFailure` when the read fails, which `read` tells.
bool readSectors(Rescue& r, SectorNumber at, SectorNumber count, MapStatus onFailure, bool& read)
{
    r.map.position = at;
    read = SectorIo::transfer(SectorOp::Read, r.target.source, uint32_t(count), r.map.first + at,
                              r.buffer.bytes) == SECTOR_STATUS_OK;
    if (read && !writeImage(r, at, count, r.buffer.bytes)) return false;
    return mark(r, at, count, read ? MapStatus::Finished : onFailure) && afterRead(r, !read);
}

struct Skip {
    SectorNumber size;
    SectorNumber initial;
    SectorNumber most;
};

Skip firstSkip(const Rescue& r)
{
    SectorNumber most = std::max<SectorNumber>(r.map.count / 100, r.cluster);
    SectorNumber gigabyte = std::max<SectorNumber>(MAX_SKIP_BYTES / r.map.sectorSize, 1);
    most = std::min(most, gigabyte);
    return {r.cluster, r.cluster, most};
}

// After a read: back to the first skip when it was read, else the skip to
// take now, the next one twice as far.
SectorNumber skipAfter(Skip& skip, bool read, bool skipping)
{
    if (read || !skipping) {
        skip.size = skip.initial;
        return 0;
    }
    SectorNumber now = skip.size;
    skip.size = std::min(skip.size * 2, skip.most);
    return now;
}

bool sweepForward(Rescue& r, bool skipping)
{
    r.map.phase = MapStatus::NonTried;
    Skip skip = firstSkip(r);
    SectorRange stretch;
    for (SectorNumber at = 0; nextStretch(r.map, at, MapStatus::NonTried, stretch);) {
        SectorNumber count = std::min<SectorNumber>(r.cluster, stretch.count);
        bool read = false;
        if (!readSectors(r, stretch.first, count, MapStatus::NonTrimmed, read)) return false;
        at = stretch.first + count;
        at += std::min(skipAfter(skip, read, skipping), r.map.count - at);
    }
    return true;
}

// From the far side of what the forward sweep skipped, towards its failures.
bool sweepBackward(Rescue& r)
{
    Skip skip = firstSkip(r);
    SectorRange stretch;
    SectorNumber end = r.map.count;
    while (previousStretch(r.map, end, MapStatus::NonTried, stretch)) {
        SectorNumber count = std::min<SectorNumber>(r.cluster, stretch.count);
        SectorNumber first = stretch.first + stretch.count - count;
        bool read = false;
        if (!readSectors(r, first, count, MapStatus::NonTrimmed, read)) return false;
        end = first - std::min(skipAfter(skip, read, true), first);
    }
    return true;
}

// A failed area is read one sector at a time from its start and from its
// end until a read fails on each side; what lies between is left to scrape.
bool trimArea(Rescue& r, SectorRange area)
{
    SectorNumber front = area.first, back = area.first + area.count;
    bool read = true;
    while (front < back && read)
        if (!readSectors(r, front++, 1, MapStatus::Bad, read)) return false;
    read = true;
    while (front < back && read)
        if (!readSectors(r, --back, 1, MapStatus::Bad, read)) return false;
    return mark(r, front, back - front, MapStatus::NonScraped);
}

bool trim(Rescue& r)
{
    r.map.phase = MapStatus::NonTrimmed;
    SectorRange area;
    while (nextStretch(r.map, 0, MapStatus::NonTrimmed, area))
        if (!trimArea(r, area)) return false;
    return true;
}

// Every sector of `status` read once more, alone; those that fail become Bad.
bool readEachSector(Rescue& r, MapStatus status)
{
    r.map.phase = status;
    SectorRange stretch;
    for (SectorNumber at = 0; nextStretch(r.map, at, status, stretch); at = stretch.first + 1) {
        bool read = false;
        if (!readSectors(r, stretch.first, 1, MapStatus::Bad, read)) return false;
    }
    return true;
}

// A sector never read holds zeros in the image, whatever the file held there.
bool zeroUnread(Rescue& r)
{
    std::memset(r.buffer.bytes, 0, size_t(r.cluster) * r.map.sectorSize);
    for (uint32_t k = 0; k < r.map.blockCount; k++) {
        const MapBlock& block = r.map.blocks[k];
        if (block.status == MapStatus::Finished) continue;
        for (SectorNumber done = 0; done < block.count; done += r.cluster) {
            SectorNumber count = std::min<SectorNumber>(r.cluster, block.count - done);
            if (!writeImage(r, block.first + done, count, r.buffer.bytes)) return false;
        }
    }
    return true;
}

bool runPasses(Rescue& r, int retries)
{
    if (!saveMap(r) || !sweepForward(r, true) || !sweepBackward(r) || !sweepForward(r, false) ||
        !trim(r) || !readEachSector(r, MapStatus::NonScraped))
        return false;
    for (int pass = 0; pass < retries; pass++)
        if (!readEachSector(r, MapStatus::Bad)) return false;
    if (!zeroUnread(r)) return false;
    r.map.phase = MapStatus::Finished;
    r.map.position = r.map.count;
    return saveMap(r);
}

}  // namespace

RunResult rescueSectors(const ImageDrive& target, void* image, RescueMap& map,
                        const char* mapPath, int retries)
{
    uint32_t sectorSize = target.space.bytesPerSector;
    uint32_t cluster = std::clamp<uint32_t>(RESCUE_READ_BYTES / sectorSize, 1,
                                            runChunkSectors(sectorSize));
    RunBuffer buffer(cluster * sectorSize);
    if (buffer.bytes == nullptr) return {RunOutcome::Failed, MSG_OUT_OF_MEMORY, 0, 0};
    Rescue r{target, image, map, mapPath, buffer, cluster, 0, {},
             {RunOutcome::Done, MSG_DONE, 0, 0}};
    runPasses(r, retries);
    r.result.done = map.count - unreadSectors(map);
    return r.result;
}
