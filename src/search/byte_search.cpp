#include "search/byte_search.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <iterator>

namespace {

// The first match in `size` bytes, by the standard library's searcher.
bool findFirst(const SearchPattern& pattern, const uint8_t* data, size_t size, size_t& at)
{
    const uint8_t* end = data + size;
    std::boyer_moore_horspool_searcher<const uint8_t*> searcher(pattern.bytes,
                                                                 pattern.bytes + pattern.length);
    const uint8_t* hit = std::search(data, end, searcher);
    if (hit == end) return false;
    at = size_t(hit - data);
    return true;
}

// The last match in `size` bytes: the same searcher run over both reversed.
bool findLast(const SearchPattern& pattern, const uint8_t* data, size_t size, size_t& at)
{
    using Reversed = std::reverse_iterator<const uint8_t*>;
    std::boyer_moore_horspool_searcher<Reversed> searcher(
        Reversed(pattern.bytes + pattern.length), Reversed(pattern.bytes));
    Reversed end(data);
    Reversed hit = std::search(Reversed(data + size), end, searcher);
    if (hit == end) return false;
    at = size_t(hit.base() - data) - pattern.length;
    return true;
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
