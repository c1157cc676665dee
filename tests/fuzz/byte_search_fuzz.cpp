#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "search/byte_search.h"

namespace {

struct Case {
    std::vector<uint8_t> drive;
    uint64_t base;  // the drive offset of drive[0]
    SearchPattern pattern;
    uint32_t chunkMax, seed;
    size_t cut;  // a drive index always cut at, near either end of the pattern's place
};

uint32_t nextRandom(uint32_t& state)
{
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
}

// The first match in the direction, byte by byte over the whole drive.
bool plainSearch(const Case& c, bool backward, uint64_t from, uint64_t& found)
{
    size_t size = c.drive.size(), length = c.pattern.length;
    uint64_t limit = from < c.base ? 0 : from - c.base;
    for (size_t k = 0; k + length <= size; k++) {
        size_t at = backward ? size - length - k : k;
        if ((backward ? at < limit : at >= limit) &&
            std::memcmp(&c.drive[at], c.pattern.bytes, length) == 0) {
            found = c.base + at;
            return true;
        }
    }
    return false;
}

// The drive cut from the direction's start into chunks of random sizes and at
// `cut`, the same cuts on every call; each chunk in a block of its own so a
// read past it is caught.
bool chunkedSearch(const Case& c, bool backward, uint64_t from, uint64_t& found)
{
    ChunkSearch search;
    beginChunkSearch(search, c.pattern, backward, from);
    uint32_t state = c.seed;
    size_t size = c.drive.size(), edge = backward ? size - std::min(c.cut, size) : c.cut;
    for (size_t done = 0; done < size;) {
        size_t piece = std::min<size_t>(size - done, 1 + nextRandom(state) % c.chunkMax);
        if (done < edge && done + piece > edge) piece = edge - done;
        size_t at = backward ? size - done - piece : done;
        std::vector<uint8_t> chunk(c.drive.begin() + at, c.drive.begin() + at + piece);
        if (searchChunk(search, chunk.data(), uint32_t(piece), c.base + at, found)) return true;
        done += piece;
    }
    return false;
}

// The chunked search must agree with the plain one with each copy of the
// block scan the processor runs; a difference is printed before the trap.
bool check(const Case& c, bool backward, uint64_t from, uint64_t& found)
{
    static const BlockScan widest = blockScan;  // as chosen at start
    uint64_t plain = 0;
    bool inPlain = plainSearch(c, backward, from, plain);
    for (BlockScan scan : {BlockScan::Plain, BlockScan::Avx2, BlockScan::Avx512}) {
        if (scan > widest) break;
        blockScan = scan;
        uint64_t chunked = 0;
        bool inChunks = chunkedSearch(c, backward, from, chunked);
        if (inPlain != inChunks || (inPlain && plain != chunked)) {
            using Offset = unsigned long long;
            std::fprintf(stderr,
                         "%s from %llu: %zu bytes at %llu, pattern of %u, chunks of 1 to %u, "
                         "cut at %zu (seed %u), block scan %d: plain %d at %llu, chunked %d "
                         "at %llu\n",
                         backward ? "backward" : "forward", Offset(from), c.drive.size(),
                         Offset(c.base), c.pattern.length, c.chunkMax, c.cut, c.seed, int(scan),
                         inPlain, Offset(plain), inChunks, Offset(chunked));
            __builtin_trap();
        }
    }
    found = plain;
    return inPlain;
}

}  // namespace

// An 18-byte head, then the drive: up to 64 KiB at an offset below 2^40 (many
// blocks of the matcher's scan, in chunks of up to 16 KiB),
// the input's and then as many random ones as the head asks, as the fuzzer
// keeps inputs short; all masked as the head says, so that few byte values,
// and so matches, are common. The pattern is random, all zero, one byte
// repeated, or copied from a place in the drive; the search starts near that
// place and a chunk boundary lies a few bytes from either of its ends, where
// the bytes kept between chunks count. After a hit the next, overlapping,
// match is checked too.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    uint8_t head[18] = {};
    std::memcpy(head, data, std::min(size, sizeof head));
    size_t given = size > sizeof head ? size - sizeof head : 0;
    size_t added = head[17] < 128 ? 4 * size_t(head[17]) : 512 * size_t(head[17] - 127);
    size_t driveSize = std::min<size_t>(given + added, 65536);
    bool backward = head[0] & 1;
    int kind = head[0] >> 1 & 3;
    uint8_t mask = head[1];
    Case c;
    c.base = 0;
    for (int k = 0; k < 5; k++) c.base = c.base << 8 | head[2 + k];
    c.chunkMax = head[7] < 128 ? 1 + 2 * uint32_t(head[7]) : 1 + 128 * uint32_t(head[7] - 127);
    std::memcpy(&c.seed, head + 8, sizeof c.seed);
    c.seed |= 1;  // xorshift never leaves 0
    uint32_t random = c.seed;
    c.drive.resize(driveSize);
    for (size_t k = 0; k < driveSize; k++)
        c.drive[k] = (k < given ? data[sizeof head + k] : uint8_t(nextRandom(random) >> 8)) & mask;

    c.pattern.length = 1 + head[12];
    for (uint32_t k = 0; k < c.pattern.length; k++)
        c.pattern.bytes[k] = kind == 0   ? uint8_t(nextRandom(random) >> 8) & mask
                             : kind == 2 ? head[15] & mask
                                         : 0;
    size_t place = driveSize > 0 ? size_t(head[13] | head[14] << 8) % driveSize : 0;
    if (kind == 3 && driveSize > 0) {
        c.pattern.length = uint32_t(std::min<size_t>(c.pattern.length, driveSize - place));
        std::memcpy(c.pattern.bytes, &c.drive[place], c.pattern.length);
    }
    size_t near = head[0] >> 3 & 7, end = place + c.pattern.length;
    c.cut = head[0] & 0x40 ? end - std::min(near, end) : place + near;

    int64_t delta = int64_t(place) + int8_t(head[16]);
    uint64_t from = delta < 0 && c.base < uint64_t(-delta) ? 0 : c.base + uint64_t(delta);
    uint64_t found = 0;
    if (check(c, backward, from, found)) check(c, backward, backward ? found : found + 1, found);
    return 0;
}
