#pragma once
#include <cstdint>

// The most bytes a search looks for.
constexpr uint32_t SEARCH_PATTERN_MAX = 256;

struct SearchPattern {
    uint8_t bytes[SEARCH_PATTERN_MAX];
    uint32_t length;  // 1 to SEARCH_PATTERN_MAX
    // Whether some byte also matches another value (a letter's other case),
    // kept in `otherCase`; the others' otherCase is the byte itself. Read
    // only when set.
    bool folded;
    uint8_t otherCase[SEARCH_PATTERN_MAX];
};

// The copies of the scan that passes over blocks without a match, the wider
// ones for processors with wider vectors.
enum class BlockScan { Plain, Avx2, Avx512 };

// The widest copy the processor runs, chosen at start; a test may choose a
// narrower one.
extern BlockScan blockScan;

// A search over a drive read chunk by chunk, each chunk following the last
// in the search's direction: forwards from `from` (a match starts at or after
// that byte) or backwards (a match starts before it). A match may run across
// chunks, so the bytes next to the previous chunk that such a match needs
// are kept.
struct ChunkSearch {
    SearchPattern pattern;
    bool backward;
    uint64_t from;
    uint8_t carry[SEARCH_PATTERN_MAX - 1];
    uint32_t carryLength;
};

void beginChunkSearch(ChunkSearch& search, const SearchPattern& pattern, bool backward,
                      uint64_t from);

// Looks through `size` bytes at byte `offset` of the drive: true with the
// offset of the first match in the search's direction in `found`. The chunks
// must adjoin: each next one starts where the last ended, or, backwards, ends
// where it started.
bool searchChunk(ChunkSearch& search, const uint8_t* chunk, uint32_t size, uint64_t offset,
                 uint64_t& found);
