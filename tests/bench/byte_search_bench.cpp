#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "search/byte_search.h"

// Find's matcher alone, with no reads: 128 MiB searched as 512 passes over
// 256 KiB kept in the cache, so the figure is of the scan and not of memory.
// Patterns: 16 bytes, exact (0); a 16-byte text, exact (1) and in either
// case (2); 8 letters as UTF-16 in either case (3). Bytes: a fresh volume's
// zeros (0), or lower case letters throughout (1), where the scan lets most
// blocks through and the starts in them are looked at.
namespace {

constexpr size_t PIECE = 256 * 1024, PASSES = 512;
const char TEXT[] = "veldis find test";
const char LETTERS[] = "veldisft";

SearchPattern patternOf(int kind)
{
    SearchPattern pattern = {};
    pattern.length = 16;
    for (uint32_t k = 0; k < 16; k++) {
        uint8_t byte = kind == 0 ? uint8_t(0xF0 + k)
                       : kind < 3 ? uint8_t(TEXT[k])
                                  : uint8_t(k % 2 ? 0 : LETTERS[k / 2]);
        pattern.bytes[k] = byte;
        bool letter = byte >= 'a' && byte <= 'z';
        pattern.otherCase[k] = letter ? uint8_t(byte - 0x20) : byte;
    }
    pattern.folded = kind >= 2;
    return pattern;
}

void search(benchmark::State& state)
{
    SearchPattern pattern = patternOf(int(state.range(0)));
    std::vector<uint8_t> bytes(PIECE, 0);
    uint32_t random = 12345;
    for (uint8_t& byte : bytes) {
        random ^= random << 13, random ^= random >> 17, random ^= random << 5;
        if (state.range(1) == 1) byte = uint8_t('a' + random % 26);
    }
    for (auto _ : state) {
        bool found = false;
        for (size_t pass = 0; pass < PASSES && !found; pass++) {
            ChunkSearch chunks;
            beginChunkSearch(chunks, pattern, false, 0);
            uint64_t at = 0;
            found = searchChunk(chunks, bytes.data(), uint32_t(PIECE), 0, at);
        }
        if (found) state.SkipWithError("the pattern is in the bytes");
    }
}

}  // namespace

BENCHMARK(search)->ArgsProduct({{0, 1, 2, 3}, {0, 1}})->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
