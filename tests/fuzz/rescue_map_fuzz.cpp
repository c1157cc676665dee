// A map file is whatever lies beside an image: its reader must refuse what
// is no map, and what it takes must be a map that writes back as itself.
// The marks a run makes must keep the blocks as a plain list of sectors says.
#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "image/rescue_map.h"

namespace {

const MapStatus STATUSES[] = {MapStatus::NonTried, MapStatus::NonTrimmed, MapStatus::NonScraped,
                              MapStatus::Bad, MapStatus::Finished};

void check(bool holds)
{
    if (!holds) std::abort();
}

// Blocks from 0 without gaps, none empty, neighbours of other statuses, the
// tally as they add up.
void checkBlocks(const RescueMap& map)
{
    SectorNumber at = 0, tally[MAP_STATUS_COUNT] = {};
    for (uint32_t k = 0; k < map.blockCount; k++) {
        const MapBlock& block = map.blocks[k];
        check(block.first == at && block.count > 0);
        check(k == 0 || map.blocks[k - 1].status != block.status);
        at += block.count;
        for (int s = 0; s < MAP_STATUS_COUNT; s++)
            if (STATUSES[s] == block.status) tally[s] += block.count;
    }
    check(at == map.count);
    for (int s = 0; s < MAP_STATUS_COUNT; s++) check(sectorsWith(map, STATUSES[s]) == tally[s]);
}

bool sameBlocks(const MapBlock* a, const MapBlock* b, size_t count)
{
    for (size_t k = 0; k < count; k++)
        if (a[k].first != b[k].first || a[k].count != b[k].count || a[k].status != b[k].status)
            return false;
    return true;
}

// What it reads, it writes back as itself.
void checkRoundTrip(const RescueMap& map)
{
    checkBlocks(map);
    size_t length = 0;
    char* text = formatMap(map, length);
    check(text != nullptr);
    RescueMap again;
    check(parseMap(text, length, 512, again));
    std::free(text);
    check(again.first == map.first && again.count == map.count &&
          again.blockCount == map.blockCount);
    check(sameBlocks(again.blocks, map.blocks, map.blockCount));
}

// Three bytes a block line, in hex or decimal; some lines have a byte put
// over one of theirs. A map with no byte put over is read as written, its
// neighbours of one status merged.
void readText(const uint8_t* data, size_t size)
{
    std::string text = "# Mapfile\n0x0 + 1\n";
    std::vector<MapBlock> written;
    bool spoilt = false;
    SectorNumber at = 0;
    for (size_t k = 0; k + 3 <= size; k += 3) {
        SectorNumber count = data[k + 1] + 1;
        MapStatus status = STATUSES[data[k + 2] % MAP_STATUS_COUNT];
        char line[64];
        const char* format = data[k] & 1 ? "0x%llX 0x%llX %c\n" : "%llu %llu %c\n";
        int length = std::snprintf(line, sizeof line, format, (unsigned long long)at * 512,
                                   (unsigned long long)count * 512, char(status));
        if ((data[k] & 6) == 6) {
            line[data[k + 2] % length] = char(data[k] >> 3 | 0x20);
            spoilt = true;
        }
        text += line;
        if (!written.empty() && written.back().status == status)
            written.back().count += count;
        else
            written.push_back({at, count, status});
        at += count;
    }
    RescueMap map;
    bool read = parseMap(text.data(), text.size(), 512, map);
    if (!spoilt) {
        check(read == !written.empty());
        check(!read || (map.blockCount == written.size() &&
                        sameBlocks(map.blocks, written.data(), written.size())));
    }
    if (read) checkRoundTrip(map);
    RescueMap raw;
    if (parseMap(reinterpret_cast<const char*>(data), size, 512, raw)) checkRoundTrip(raw);
}

// Three bytes a mark: where, how many, which status; the first two bytes
// the map's size.
void makeMarks(const uint8_t* data, size_t size)
{
    if (size < 2) return;
    SectorNumber count = 1 + (data[0] | data[1] << 8) % 600;
    RescueMap map;
    check(beginMap(map, 7, count, 512));
    std::vector<MapStatus> plain(count, MapStatus::NonTried);
    for (size_t at = 2; at + 3 <= size; at += 3) {
        SectorNumber first = data[at] * 3 % count, length = data[at + 1] * 5 % (count - first);
        MapStatus status = STATUSES[data[at + 2] % MAP_STATUS_COUNT];
        check(markSectors(map, first, length, status));
        for (SectorNumber k = first; k < first + length; k++) plain[k] = status;
        checkBlocks(map);
        for (SectorNumber k = 0; k < count; k++) check(statusAt(map, k) == plain[k]);
        SectorRange found;
        SectorNumber from = data[at] % count;
        bool next = nextStretch(map, from, status, found);
        SectorNumber k = from;
        while (k < count && plain[k] != status) k++;
        check(next == (k < count) && (!next || found.first == k));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 0 && data[0] % 2 == 0)
        readText(data + 1, size - 1);
    else if (size > 0)
        makeMarks(data + 1, size - 1);
    return 0;
}
