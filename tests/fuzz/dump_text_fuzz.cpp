#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "editor/dump_text.h"

// A sector of any size the editor shows (16 to 18432 bytes), held in a block
// of exactly that size so a read past it is caught; every line in both modes.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2) return 0;
    size_t sectorSize = 16 * (1 + (data[0] | data[1] << 8) % 1152);
    std::vector<uint8_t> sector(sectorSize, 0);
    std::memcpy(sector.data(), data + 2, size - 2 < sectorSize ? size - 2 : sectorSize);
    for (int kanji = 0; kanji < 2; kanji++) {
        for (size_t line = 0; line < sectorSize / 16; line++) {
            char text[DUMP_TEXT_LINE_BYTES + 1];
            std::memset(text, 0x55, sizeof text);
            formatDumpLine(sector.data(), uint32_t(sectorSize), int(line), kanji != 0, text);
            if (std::memchr(text, 0, DUMP_TEXT_LINE_BYTES) != nullptr) __builtin_trap();
            if (text[70] != '\r' || text[71] != '\n' || text[72] != '\0') __builtin_trap();
        }
    }
    return 0;
}
