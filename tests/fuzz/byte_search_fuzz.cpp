#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include <sanitizer/asan_interface.h>

#include "search/byte_search.h"

namespace {

// A drive longer than this many of its largest chunks would only repeat the
// carries between them, each at the cost of searching a join.
constexpr size_t DRIVE_CHUNKS_MAX = 512;

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

// Whether the pattern lies at drive[at], each byte its own or, folded, its
// other case; not memcmp, which the fuzzer intercepts, at many times the
// cost of the compare.
bool patternAt(const Case& c, size_t at)
{
    const SearchPattern& p = c.pattern;
    uint32_t same = 0;
    while (same < p.length && (c.drive[at + same] == p.bytes[same] ||
                               (p.folded && c.drive[at + same] == p.otherCase[same])))
        same++;
    return same == p.length;
}

// Each byte's other value: none, a letter's other case (bit 5), or any byte
// the mask lets through, so that the block scan's filter meets bytes that
// differ from both values in bits their XORs do not share. Copied from the
// drive, a byte and its other value change places at random, so that a match
// is found through either.
void foldPattern(SearchPattern& p, bool copied, uint8_t mask, uint32_t& random)
{
    for (uint32_t k = 0; k < p.length; k++) {
        uint32_t r = nextRandom(random);
        p.otherCase[k] = r % 3 == 0   ? p.bytes[k]
                         : r % 3 == 1 ? uint8_t(p.bytes[k] ^ 0x20)
                                      : uint8_t(r >> 8 & mask);
        if (copied && (r >> 16 & 1)) std::swap(p.bytes[k], p.otherCase[k]);
    }
    p.folded = true;
}

// The first match in the direction, byte by byte over the whole drive.
bool plainSearch(const Case& c, bool backward, uint64_t from, uint64_t& found)
{
    size_t size = c.drive.size(), length = c.pattern.length;
    uint64_t limit = from < c.base ? 0 : from - c.base;
    for (size_t k = 0; k + length <= size; k++) {
        size_t at = backward ? size - length - k : k;
        if ((backward ? at < limit : at >= limit) && patternAt(c, at)) {
            found = c.base + at;
            return true;
        }
    }
    return false;
}

// The drive cut from the direction's start into chunks of random sizes and at
// `cut`, the same cuts on every call; each chunk copied to the start of a
// block with the rest poisoned, so a read past either end is caught (a block
// of its own for each chunk would be an allocation, the fuzzer's main cost).
bool chunkedSearch(const Case& c, bool backward, uint64_t from, uint64_t& found)
{
    ChunkSearch search;
    beginChunkSearch(search, c.pattern, backward, from);
    uint32_t state = c.seed;
    size_t size = c.drive.size(), edge = backward ? size - std::min(c.cut, size) : c.cut;
    std::vector<uint8_t> room(std::min<size_t>(size, c.chunkMax));
    ASAN_POISON_MEMORY_REGION(room.data(), room.size());
    for (size_t done = 0; done < size;) {
        size_t piece = std::min<size_t>(size - done, 1 + nextRandom(state) % c.chunkMax);
        if (done < edge && done + piece > edge) piece = edge - done;
        size_t at = backward ? size - done - piece : done;
        ASAN_UNPOISON_MEMORY_REGION(room.data(), piece);
        std::memcpy(room.data(), &c.drive[at], piece);
        bool hit = searchChunk(search, room.data(), uint32_t(piece), c.base + at, found);
        ASAN_POISON_MEMORY_REGION(room.data(), piece);
        if (hit) return true;
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
                         "%s from %llu: %zu bytes at %llu, pattern of %u (folded %d), chunks "
                         "of 1 to %u, cut at %zu (seed %u), block scan %d: plain %d at %llu, "
                         "chunked %d at %llu\n",
                         backward ? "backward" : "forward", Offset(from), c.drive.size(),
                         Offset(c.base), c.pattern.length, int(c.pattern.folded), c.chunkMax, c.cut,
                         c.seed, int(scan), inPlain, Offset(plain), inChunks, Offset(chunked));
            __builtin_trap();
        }
    }
    found = plain;
    return inPlain;
}

}  // namespace

// An 18-byte head, then the drive: up to 64 KiB at an offset below 2^40 (many
// blocks of the matcher's scan, in chunks of up to 16 KiB, and no longer than
// DRIVE_CHUNKS_MAX of its largest chunks), the input's and then as many random
// ones as the head asks, as the fuzzer keeps inputs short; all masked as the head says, so that few byte values,
// and so matches, are common. The pattern is random, all zero, one byte
// repeated, or copied from a place in the drive; the search starts near that
// place and a chunk boundary lies a few bytes from either of its ends, where
// the bytes kept between chunks count. With the head's top bit the pattern
// is folded: each byte may also match another value, as a letter in either
// case does. After a hit the next, overlapping, match is checked too.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    uint8_t head[18] = {};
    std::memcpy(head, data, std::min(size, sizeof head));
    size_t given = size > sizeof head ? size - sizeof head : 0;
    size_t added = head[17] < 128 ? 4 * size_t(head[17]) : 512 * size_t(head[17] - 127);
    bool backward = head[0] & 1;
    int kind = head[0] >> 1 & 3;
    uint8_t mask = head[1];
    Case c;
    c.base = 0;
    for (int k = 0; k < 5; k++) c.base = c.base << 8 | head[2 + k];
    c.chunkMax = head[7] < 128 ? 1 + 2 * uint32_t(head[7]) : 1 + 128 * uint32_t(head[7] - 127);
    size_t driveSize =
        std::min<size_t>({given + added, 65536, DRIVE_CHUNKS_MAX * size_t(c.chunkMax)});
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
    c.pattern.folded = false;
    if (head[0] & 0x80) foldPattern(c.pattern, kind == 3, mask, random);
    size_t near = head[0] >> 3 & 7, end = place + c.pattern.length;
    c.cut = head[0] & 0x40 ? end - std::min(near, end) : place + near;

    int64_t delta = int64_t(place) + int8_t(head[16]);
    uint64_t from = delta < 0 && c.base < uint64_t(-delta) ? 0 : c.base + uint64_t(delta);
    uint64_t found = 0;
    if (check(c, backward, from, found)) check(c, backward, backward ? found : found + 1, found);
    return 0;
}
