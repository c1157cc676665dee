#include "search/byte_search.h"

#include <algorithm>
#include <cstring>

namespace {

// A match starts with the pattern's first byte and has its last (see
// probeOf) the same distance further on. Checking both for a block of starts
// at once is a loop without an exit, which the compiler turns into vector
// operations; only a block where both meet is searched, so most of a drive
// passes at the speed of memory. Where both meet, the OR of the two XORs is zero, so the
// block's smallest such OR tells, in fewer instructions than two compares and
// an AND. Blocks of 4 KiB make the fold of each block's vector into one byte,
// and the call, rare.
constexpr size_t SCAN_BLOCK = 4096;

inline __attribute__((always_inline)) bool pairsIn(uint8_t first, uint8_t last,
                                                   const uint8_t* block, const uint8_t* ends)
{
    uint8_t least = 0xFF;
    for (size_t k = 0; k < SCAN_BLOCK; k++)
        least = std::min(least, uint8_t((block[k] ^ first) | (ends[k] ^ last)));
    return least == 0;
}

// Where a byte may have either of two values (a letter in either case), a
// byte equal to one of them leaves the AND of its XORs with both zero. So
// may a byte that differs from each in bits the other XOR lacks; the search
// then turns that start down. A letter's two cases differ in one or two
// bits, so few other bytes pass. For `STARTS` starts: a block, or a line
// of one (see firstIn).
template <size_t STARTS>
inline __attribute__((always_inline)) bool eitherPairsIn(uint8_t first, uint8_t firstOther,
                                                         uint8_t last, uint8_t lastOther,
                                                         const uint8_t* block, const uint8_t* ends)
{
    uint8_t least = 0xFF;
    for (size_t k = 0; k < STARTS; k++)
        least = std::min(least, uint8_t(((block[k] ^ first) & (block[k] ^ firstOther)) |
                                        ((ends[k] ^ last) & (ends[k] ^ lastOther))));
    return least == 0;
}

#if defined(__x86_64__) || defined(__i386__)
// The same loops in 32- and 64-byte vectors, for processors (and systems)
// that have them: the wider the vector, the fewer instructions a block takes.
__attribute__((target("avx2"))) bool pairsInAvx2(uint8_t first, uint8_t last,
                                                 const uint8_t* block, const uint8_t* ends)
{
    return pairsIn(first, last, block, ends);
}

__attribute__((target("avx512bw"))) bool pairsInAvx512(uint8_t first, uint8_t last,
                                                       const uint8_t* block, const uint8_t* ends)
{
    return pairsIn(first, last, block, ends);
}

__attribute__((target("avx2"))) bool eitherPairsInAvx2(uint8_t first, uint8_t firstOther,
                                                       uint8_t last, uint8_t lastOther,
                                                       const uint8_t* block, const uint8_t* ends)
{
    return eitherPairsIn<SCAN_BLOCK>(first, firstOther, last, lastOther, block, ends);
}

__attribute__((target("avx512bw"))) bool eitherPairsInAvx512(uint8_t first, uint8_t firstOther,
                                                             uint8_t last, uint8_t lastOther,
                                                             const uint8_t* block,
                                                             const uint8_t* ends)
{
    return eitherPairsIn<SCAN_BLOCK>(first, firstOther, last, lastOther, block, ends);
}
#endif

BlockScan widestScan()
{
#if defined(__x86_64__) || defined(__i386__)
    // Static initialisers may run before the runtime's own look at the processor.
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx512bw")) return BlockScan::Avx512;
    if (__builtin_cpu_supports("avx2")) return BlockScan::Avx2;
#endif
    return BlockScan::Plain;
}

// The two bytes of the pattern the scan looks for: its first, and its last
// that is not zero, of which a fresh volume is mostly made and a UTF-16
// text has every other byte.
struct Probe {
    uint8_t first, firstOther, last, lastOther;
    uint32_t lastAt;
};

Probe probeOf(const SearchPattern& pattern)
{
    uint32_t lastAt = pattern.length - 1;
    while (lastAt > 0 && pattern.bytes[lastAt] == 0) lastAt--;
    if (lastAt == 0) lastAt = pattern.length - 1;
    if (!pattern.folded)
        return {pattern.bytes[0], pattern.bytes[0], pattern.bytes[lastAt], pattern.bytes[lastAt],
                lastAt};
    return {pattern.bytes[0], pattern.otherCase[0], pattern.bytes[lastAt],
            pattern.otherCase[lastAt], lastAt};
}

bool mayStartIn(const SearchPattern& pattern, const Probe& probe, const uint8_t* block)
{
    const uint8_t* ends = block + probe.lastAt;
    if (pattern.folded) {
#if defined(__x86_64__) || defined(__i386__)
        if (blockScan == BlockScan::Avx512)
            return eitherPairsInAvx512(probe.first, probe.firstOther, probe.last, probe.lastOther,
                                       block, ends);
        if (blockScan == BlockScan::Avx2)
            return eitherPairsInAvx2(probe.first, probe.firstOther, probe.last, probe.lastOther,
                                     block, ends);
#endif
        return eitherPairsIn<SCAN_BLOCK>(probe.first, probe.firstOther, probe.last,
                                         probe.lastOther, block, ends);
    }
#if defined(__x86_64__) || defined(__i386__)
    if (blockScan == BlockScan::Avx512) return pairsInAvx512(probe.first, probe.last, block, ends);
    if (blockScan == BlockScan::Avx2) return pairsInAvx2(probe.first, probe.last, block, ends);
#endif
    return pairsIn(probe.first, probe.last, block, ends);
}

// Whether the folded pattern lies at `at`, each byte equal to the pattern's
// or to its other case. The bytes are compared as bytes, as the exact search
// compares them: a byte of the data is not asked whether it is the second of
// a double-byte character, so a letter of the pattern matches the second
// byte of 83 41 (ア) as 41 or 61, as an exact search for A matches its 41.
bool foldedAt(const SearchPattern& pattern, const uint8_t* at)
{
    for (uint32_t k = 0; k < pattern.length; k++)
        if (at[k] != pattern.bytes[k] && at[k] != pattern.otherCase[k]) return false;
    return true;
}

// Where text is dense, a block the scan lets through has candidates
// throughout; a folded pattern's starts are then looked at in lines of 64,
// each passed over unless the scan's check finds a candidate in it.
constexpr size_t SCAN_LINE = 64;

bool mayStartInLine(const Probe& probe, const uint8_t* line)
{
    return eitherPairsIn<SCAN_LINE>(probe.first, probe.firstOther, probe.last, probe.lastOther,
                                    line, line + probe.lastAt);
}

// The first or last match wholly inside [begin, end), or `end`: the standard
// library's for the exact pattern, a line at a time for the folded one.
const uint8_t* firstIn(const SearchPattern& pattern, const Probe& probe, const uint8_t* begin,
                       const uint8_t* end)
{
    if (!pattern.folded)
        return std::search(begin, end, pattern.bytes, pattern.bytes + pattern.length);
    if (size_t(end - begin) < pattern.length) return end;
    const uint8_t *at = begin, *last = end - pattern.length;
    for (; size_t(last - at) >= SCAN_LINE; at += SCAN_LINE) {
        if (!mayStartInLine(probe, at)) continue;
        for (size_t k = 0; k < SCAN_LINE; k++)
            if (foldedAt(pattern, at + k)) return at + k;
    }
    for (; at <= last; at++)
        if (foldedAt(pattern, at)) return at;
    return end;
}

const uint8_t* lastIn(const SearchPattern& pattern, const Probe& probe, const uint8_t* begin,
                      const uint8_t* end)
{
    if (!pattern.folded)
        return std::find_end(begin, end, pattern.bytes, pattern.bytes + pattern.length);
    if (size_t(end - begin) < pattern.length) return end;
    // Lines of starts from the last one down, [after - SCAN_LINE, after).
    const uint8_t* after = end - pattern.length + 1;
    for (; size_t(after - begin) >= SCAN_LINE; after -= SCAN_LINE) {
        if (!mayStartInLine(probe, after - SCAN_LINE)) continue;
        for (size_t k = 1; k <= SCAN_LINE; k++)
            if (foldedAt(pattern, after - k)) return after - k;
    }
    for (; after > begin; after--)
        if (foldedAt(pattern, after - 1)) return after - 1;
    return end;
}

// The first match in `size` bytes, searched in each block the scan lets
// through, with the bytes a match starting in it may need.
bool findFirst(const SearchPattern& pattern, const uint8_t* data, size_t size, size_t& at)
{
    Probe probe = probeOf(pattern);
    size_t starts = size < pattern.length ? 0 : size - pattern.length + 1, start = 0;
    for (; start + SCAN_BLOCK <= starts; start += SCAN_BLOCK) {
        if (!mayStartIn(pattern, probe, data + start)) continue;
        const uint8_t* end = data + start + SCAN_BLOCK + pattern.length - 1;
        const uint8_t* hit = firstIn(pattern, probe, data + start, end);
        if (hit != end) {
            at = size_t(hit - data);
            return true;
        }
    }
    // The starts left, fewer than a block, are scanned as the last block of
    // starts, whose earlier ones held no match: a byte at a time would be slower.
    if (start < starts && starts >= SCAN_BLOCK &&
        !mayStartIn(pattern, probe, data + starts - SCAN_BLOCK))
        return false;
    const uint8_t* hit = firstIn(pattern, probe, data + start, data + size);
    at = size_t(hit - data);
    return hit != data + size;
}

// The last match in `size` bytes, the blocks taken from the end.
bool findLast(const SearchPattern& pattern, const uint8_t* data, size_t size, size_t& at)
{
    Probe probe = probeOf(pattern);
    size_t starts = size < pattern.length ? 0 : size - pattern.length + 1;
    for (; starts >= SCAN_BLOCK; starts -= SCAN_BLOCK) {
        const uint8_t* block = data + starts - SCAN_BLOCK;
        if (!mayStartIn(pattern, probe, block)) continue;
        const uint8_t* end = data + starts + pattern.length - 1;
        const uint8_t* hit = lastIn(pattern, probe, block, end);
        if (hit != end) {
            at = size_t(hit - data);
            return true;
        }
    }
    // The same for the starts left at the front, as the first block of starts.
    if (starts > 0 && size >= SCAN_BLOCK + pattern.length - 1 && !mayStartIn(pattern, probe, data))
        return false;
    const uint8_t* end = data + std::min(size, starts + pattern.length - 1);
    const uint8_t* hit = lastIn(pattern, probe, data, end);
    at = size_t(hit - data);
    return hit != end;
}

// How many bytes from `offset` on lie before `limit`, at most `size`.
uint64_t bytesBefore(uint64_t limit, uint64_t offset, uint64_t size)
{
    return limit <= offset ? 0 : std::min(limit - offset, size);
}

// Forwards a match may start in the kept tail of the chunk before and end in
// this one; the tail and this chunk's head are searched together first.
bool searchForward(ChunkSearch& search, const uint8_t* chunk, uint32_t size, uint64_t offset,
                   uint64_t& found)
{
    uint32_t keep = search.pattern.length - 1, kept = search.carryLength;
    uint64_t jointOffset = offset - kept;
    uint64_t jointSkip = search.from > jointOffset ? search.from - jointOffset : 0;
    size_t at = 0;
    if (jointSkip < kept) {
        uint8_t joint[2 * (SEARCH_PATTERN_MAX - 1)];
        uint32_t head = std::min(size, keep);
        std::memcpy(joint, search.carry, kept);
        std::memcpy(joint + kept, chunk, head);
        if (findFirst(search.pattern, joint + jointSkip, kept + head - jointSkip, at)) {
            found = jointOffset + jointSkip + at;
            return true;
        }
    }
    uint64_t skip = search.from > offset ? search.from - offset : 0;
    if (skip < size && findFirst(search.pattern, chunk + skip, size - skip, at)) {
        found = offset + skip + at;
        return true;
    }
    // The next chunk's matches may start in the last `keep` bytes seen.
    if (size >= keep) {
        std::memcpy(search.carry, chunk + size - keep, keep);
        search.carryLength = keep;
    } else {
        uint32_t older = std::min(kept, keep - size);
        std::memmove(search.carry, search.carry + kept - older, older);
        std::memcpy(search.carry + older, chunk, size);
        search.carryLength = older + size;
    }
    return false;
}

// Backwards the kept bytes are the head of the chunk after this one: a match
// starting in this chunk's tail runs into them, and starts higher than any
// match wholly inside, so it is looked for first.
bool searchBackward(ChunkSearch& search, const uint8_t* chunk, uint32_t size, uint64_t offset,
                    uint64_t& found)
{
    uint32_t length = search.pattern.length, keep = length - 1, kept = search.carryLength;
    size_t at = 0;
    if (kept > 0) {
        uint8_t joint[2 * (SEARCH_PATTERN_MAX - 1)];
        uint32_t tail = std::min(size, keep);
        uint64_t jointOffset = offset + size - tail;
        std::memcpy(joint, chunk + size - tail, tail);
        std::memcpy(joint + tail, search.carry, kept);
        uint64_t starts = bytesBefore(search.from, jointOffset, tail);
        uint64_t span = std::min<uint64_t>(tail + kept, starts + keep);
        if (starts > 0 && findLast(search.pattern, joint, size_t(span), at)) {
            found = jointOffset + at;
            return true;
        }
    }
    uint64_t starts = bytesBefore(search.from, offset, size);
    uint64_t span = std::min<uint64_t>(size, starts + keep);
    if (starts > 0 && findLast(search.pattern, chunk, size_t(span), at)) {
        found = offset + at;
        return true;
    }
    // The next chunk's matches may end in the first `keep` bytes seen.
    uint32_t newer = std::min(kept, keep > size ? keep - size : 0);
    std::memmove(search.carry + std::min(size, keep), search.carry, newer);
    std::memcpy(search.carry, chunk, std::min(size, keep));
    search.carryLength = std::min(size, keep) + newer;
    return false;
}

}  // namespace

BlockScan blockScan = widestScan();

void beginChunkSearch(ChunkSearch& search, const SearchPattern& pattern, bool backward,
                      uint64_t from)
{
    search.pattern = pattern;
    search.backward = backward;
    search.from = from;
    search.carryLength = 0;
}

bool searchChunk(ChunkSearch& search, const uint8_t* chunk, uint32_t size, uint64_t offset,
                 uint64_t& found)
{
    if (search.backward) return searchBackward(search, chunk, size, offset, found);
    return searchForward(search, chunk, size, offset, found);
}
