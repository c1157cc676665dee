#include "image/rescue_map.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

RescueMap::~RescueMap()
{
    std::free(blocks);
}

namespace {

constexpr char MAP_STATUSES[] = "?*/-+";

int tallyOf(MapStatus status)
{
    return int(std::strchr(MAP_STATUSES, char(status)) - MAP_STATUSES);
}

void countBlocks(RescueMap& map)
{
    for (SectorNumber& sectors : map.tally) sectors = 0;
    for (uint32_t k = 0; k < map.blockCount; k++)
        map.tally[tallyOf(map.blocks[k].status)] += map.blocks[k].count;
}

bool reserveBlocks(RescueMap& map, uint32_t needed)
{
    if (needed <= map.capacity) return true;
    uint32_t capacity = map.capacity < 16 ? 16 : map.capacity;
    while (capacity < needed) {
        if (capacity > UINT32_MAX / 2) return false;
        capacity *= 2;
    }
    void* grown = std::realloc(map.blocks, size_t(capacity) * sizeof(MapBlock));
    if (grown == nullptr) return false;
    map.blocks = static_cast<MapBlock*>(grown);
    map.capacity = capacity;
    return true;
}

// The block holding `sector` (which must lie in the range).
uint32_t blockAt(const RescueMap& map, SectorNumber sector)
{
    uint32_t low = 0, high = map.blockCount - 1;
    while (low < high) {
        uint32_t middle = low + (high - low + 1) / 2;
        if (map.blocks[middle].first <= sector) low = middle;
        else high = middle - 1;
    }
    return low;
}

// Makes a block begin at `sector` (inside the range); its index.
uint32_t splitAt(RescueMap& map, SectorNumber sector)
{
    uint32_t k = blockAt(map, sector);
    MapBlock& block = map.blocks[k];
    if (block.first == sector) return k;
    std::memmove(map.blocks + k + 2, map.blocks + k + 1,
                 (map.blockCount - k - 1) * sizeof(MapBlock));
    SectorNumber before = sector - block.first;
    map.blocks[k + 1] = {sector, block.count - before, block.status};
    block.count = before;
    map.blockCount++;
    return k + 1;
}

void mergeNeighbours(RescueMap& map, uint32_t from, uint32_t to)
{
    uint32_t kept = from;
    for (uint32_t k = from + 1; k <= to && k < map.blockCount; k++) {
        if (map.blocks[k].status == map.blocks[kept].status)
            map.blocks[kept].count += map.blocks[k].count;
        else
            map.blocks[++kept] = map.blocks[k];
    }
    uint32_t after = to + 1 < map.blockCount ? to + 1 : map.blockCount;
    std::memmove(map.blocks + kept + 1, map.blocks + after,
                 (map.blockCount - after) * sizeof(MapBlock));
    map.blockCount -= after - kept - 1;
}

}  // namespace

bool beginMap(RescueMap& map, SectorNumber first, SectorNumber count, uint32_t sectorSize)
{
    map.first = first;
    map.count = count;
    map.sectorSize = sectorSize;
    map.blockCount = 0;
    map.position = 0;
    map.phase = MapStatus::NonTried;
    if (!reserveBlocks(map, 1)) return false;
    map.blocks[0] = {0, count, MapStatus::NonTried};
    map.blockCount = 1;
    countBlocks(map);
    return true;
}

bool markSectors(RescueMap& map, SectorNumber at, SectorNumber count, MapStatus status)
{
    if (count == 0) return true;
    // Two splits add two blocks at most.
    if (!reserveBlocks(map, map.blockCount + 2)) return false;
    uint32_t first = splitAt(map, at);
    uint32_t last = at + count < map.count ? splitAt(map, at + count) - 1 : map.blockCount - 1;
    for (uint32_t k = first; k <= last; k++)
        map.tally[tallyOf(map.blocks[k].status)] -= map.blocks[k].count;
    map.tally[tallyOf(status)] += count;
    map.blocks[first] = {at, count, status};
    std::memmove(map.blocks + first + 1, map.blocks + last + 1,
                 (map.blockCount - last - 1) * sizeof(MapBlock));
    map.blockCount -= last - first;
    uint32_t from = first > 0 ? first - 1 : 0;
    mergeNeighbours(map, from, first + 1);
    return true;
}

MapStatus statusAt(const RescueMap& map, SectorNumber sector)
{
    return map.blocks[blockAt(map, sector)].status;
}

bool nextStretch(const RescueMap& map, SectorNumber from, MapStatus status, SectorRange& found)
{
    if (from >= map.count) return false;
    for (uint32_t k = blockAt(map, from); k < map.blockCount; k++) {
        const MapBlock& block = map.blocks[k];
        if (block.status != status) continue;
        SectorNumber start = block.first > from ? block.first : from;
        found = {start, block.first + block.count - start};
        return true;
    }
    return false;
}

bool previousStretch(const RescueMap& map, SectorNumber end, MapStatus status,
                     SectorRange& found)
{
    if (end == 0) return false;
    for (uint32_t k = blockAt(map, (end < map.count ? end : map.count) - 1) + 1; k-- > 0;) {
        const MapBlock& block = map.blocks[k];
        if (block.status != status) continue;
        SectorNumber stop = block.first + block.count < end ? block.first + block.count : end;
        found = {block.first, stop - block.first};
        return true;
    }
    return false;
}

SectorNumber sectorsWith(const RescueMap& map, MapStatus status)
{
    return map.tally[tallyOf(status)];
}

SectorNumber unreadSectors(const RescueMap& map)
{
    return map.count - sectorsWith(map, MapStatus::Finished);
}

SectorNumber unreadSectorsBefore(const RescueMap& map, SectorNumber end)
{
    SectorNumber total = 0;
    for (uint32_t k = 0; k < map.blockCount && map.blocks[k].first < end; k++) {
        const MapBlock& block = map.blocks[k];
        if (block.status != MapStatus::Finished)
            total += block.count < end - block.first ? block.count : end - block.first;
    }
    return total;
}

namespace {

constexpr size_t MAP_HEADER_BYTES = 256;
constexpr size_t MAP_LINE_BYTES = 48;  // two 64-bit numbers in hex, a status, spaces

}  // namespace

// ddrescue's own layout: the status line, then one line per block, every
// number in hex.
char* formatMap(const RescueMap& map, size_t& length)
{
    size_t size = MAP_HEADER_BYTES + size_t(map.blockCount) * MAP_LINE_BYTES;
    char* text = static_cast<char*>(std::malloc(size));
    if (text == nullptr) return nullptr;
    unsigned long long sectorSize = map.sectorSize;
    int at = std::snprintf(text, size,
                           "# Mapfile. Created by Veldis\n"
                           "# current_pos  current_status  current_pass\n"
                           "0x%08llX     %c               1\n"
                           "#      pos        size  status\n",
                           (map.first + map.position) * sectorSize, char(map.phase));
    for (uint32_t k = 0; k < map.blockCount; k++) {
        const MapBlock& block = map.blocks[k];
        at += std::snprintf(text + at, size - at, "0x%08llX  0x%08llX  %c\n",
                            (map.first + block.first) * sectorSize, block.count * sectorSize,
                            char(block.status));
    }
    length = size_t(at);
    return text;
}

namespace {

bool isSpace(char c)
{
    return c == ' ' || c == '\t';
}

bool isLineEnd(const char* at)
{
    while (isSpace(*at)) at++;
    return *at == '\0' || *at == '\r';
}

// A number as ddrescue writes it (0x hex, or decimal), ending at a space or
// the line's end.
bool readNumber(const char*& at, uint64_t& value)
{
    while (isSpace(*at)) at++;
    if (*at < '0' || *at > '9') return false;
    char* end = nullptr;
    errno = 0;
    value = std::strtoull(at, &end, 0);
    if (errno == ERANGE || !(isSpace(*end) || isLineEnd(end))) return false;
    at = end;
    return true;
}

// One of `statuses`, standing alone.
bool readStatus(const char*& at, const char* statuses, char& status)
{
    while (isSpace(*at)) at++;
    status = *at;
    if (status == '\0' || std::strchr(statuses, status) == nullptr) return false;
    at++;
    return isSpace(*at) || isLineEnd(at);
}

struct MapReader {
    uint32_t sectorSize;
    RescueMap& map;
    bool statusRead = false;
    uint64_t end = 0;  // in bytes: where the next block must begin
};

// The run's position and phase; ddrescue's newer files add the pass. A
// phase may also be one of its own (filling, generating).
bool readStatusLine(MapReader& reader, const char* at)
{
    uint64_t position = 0, pass = 0;
    char phase = 0;
    if (!readNumber(at, position) || !readStatus(at, "?*/-+FG", phase)) return false;
    if (!isLineEnd(at) && !(readNumber(at, pass) && isLineEnd(at))) return false;
    reader.statusRead = true;
    bool ours = std::strchr(MAP_STATUSES, phase) != nullptr;
    reader.map.phase = ours ? MapStatus(phase) : MapStatus::NonTried;
    reader.map.position = position / reader.sectorSize;
    return true;
}

bool readBlockLine(MapReader& reader, const char* at)
{
    uint64_t position = 0, size = 0;
    char status = 0;
    if (!readNumber(at, position) || !readNumber(at, size) ||
        !readStatus(at, MAP_STATUSES, status) || !isLineEnd(at))
        return false;
    uint32_t sectorSize = reader.sectorSize;
    if (size == 0 || position % sectorSize != 0 || size % sectorSize != 0 ||
        size > UINT64_MAX - position)
        return false;
    RescueMap& map = reader.map;
    if (map.count == 0) {
        map.first = position / sectorSize;
        reader.end = position;
    }
    if (position != reader.end || !reserveBlocks(map, map.blockCount + 1)) return false;
    SectorNumber sectors = size / sectorSize;
    map.blocks[map.blockCount++] = {map.count, sectors, MapStatus(status)};
    map.count += sectors;
    reader.end = position + size;
    return true;
}

bool readLine(MapReader& reader, const char* line)
{
    if (isLineEnd(line)) return true;
    return reader.statusRead ? readBlockLine(reader, line) : readStatusLine(reader, line);
}

}  // namespace

bool parseMap(const char* text, size_t length, uint32_t sectorSize, RescueMap& map)
{
    if (sectorSize == 0) return false;
    map.count = 0;
    map.blockCount = 0;
    map.sectorSize = sectorSize;
    MapReader reader{sectorSize, map};
    char line[256];
    for (size_t at = 0; at < length;) {
        const char* start = text + at;
        const char* newline = static_cast<const char*>(std::memchr(start, '\n', length - at));
        size_t size = newline != nullptr ? size_t(newline - start) : length - at;
        at += size + 1;
        // ddrescue's comments hold its command line, paths and all: any
        // length, and never read.
        if (size != 0 && start[0] == '#') continue;
        if (size >= sizeof line || std::memchr(start, '\0', size) != nullptr) return false;
        std::memcpy(line, start, size);
        line[size] = '\0';
        if (!readLine(reader, line)) return false;
    }
    if (map.count == 0) return false;
    mergeNeighbours(map, 0, map.blockCount - 1);
    countBlocks(map);
    if (map.position < map.first || map.position - map.first > map.count) map.position = map.first;
    map.position -= map.first;
    return true;
}
