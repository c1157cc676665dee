#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "editor/dump_text.h"

namespace {

bool isLead(uint8_t b)
{
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

bool isTrail(uint8_t b)
{
    return b >= 0x40 && b <= 0xFC && b != 0x7F;
}

// The 2-byte characters read forwards from byte 0, a character at a time: a
// pair on one line shows as itself, a pair across a line break and a lead
// without its trail as spaces.
std::vector<char> pairedForwards(const std::vector<uint8_t>& sector)
{
    std::vector<char> text(sector.size());
    for (size_t i = 0; i < sector.size();) {
        if (isLead(sector[i]) && i + 1 < sector.size() && isTrail(sector[i + 1])) {
            bool split = i % 16 == 15;
            text[i] = split ? ' ' : char(sector[i]);
            text[i + 1] = split ? ' ' : char(sector[i + 1]);
            i += 2;
        } else {
            text[i] = isLead(sector[i]) ? ' ' : char(toDisplayCharKanji(sector[i]));
            i++;
        }
    }
    return text;
}

}  // namespace

// A sector of any size the editor shows (16 to 18432 bytes), held in a block
// of exactly that size so a read past it is caught; every line in both modes.
// The sector is the input after its first byte, repeated: 1 to 8 times its
// length as that byte says, rounded up to whole lines, at most 18432 bytes.
// Its size follows the input's length, which the fuzzer keeps short unless
// longer pays, yet a short input can fill a large sector with lead bytes.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2) return 0;
    const uint8_t* body = data + 1;
    size_t bodySize = size - 1;
    size_t sectorSize = (bodySize * (1 + data[0] % 8) + 15) / 16 * 16;
    if (sectorSize > 18432) sectorSize = 18432;
    size_t lines = sectorSize / 16;
    std::vector<uint8_t> sector(sectorSize);
    for (size_t at = 0; at < sectorSize; at += bodySize)
        std::memcpy(&sector[at], body, bodySize < sectorSize - at ? bodySize : sectorSize - at);

    // One line on its own, as painting takes it, against the whole text; its
    // digits against a formatting call.
    size_t alone = (data[0] | body[0] << 8) % lines;
    char digits[DUMP_TEXT_LINE_BYTES + 1];
    int length = std::snprintf(digits, sizeof digits, "%03X0: ", unsigned(alone));
    for (int k = 0; k < 16; k++)
        length += std::snprintf(digits + length, sizeof digits - length, "%02X ",
                                sector[16 * alone + k]);

    std::vector<char> forwards = pairedForwards(sector);
    std::vector<char> text(lines * DUMP_TEXT_LINE_BYTES + 1);
    for (int kanji = 0; kanji < 2; kanji++) {
        std::memset(text.data(), 0x55, text.size());
        if (formatDumpText(sector.data(), uint32_t(sectorSize), kanji != 0, text.data()) !=
                lines * DUMP_TEXT_LINE_BYTES ||
            text.back() != '\0')
            __builtin_trap();
        for (size_t line = 0; line < lines; line++) {
            const char* at = &text[line * DUMP_TEXT_LINE_BYTES];
            if (std::memchr(at, 0, DUMP_TEXT_LINE_BYTES) != nullptr) __builtin_trap();
            if (at[70] != '\r' || at[71] != '\n') __builtin_trap();
            if (kanji && std::memcmp(at + 54, &forwards[16 * line], 16) != 0) __builtin_trap();
        }

        char line[DUMP_TEXT_LINE_BYTES + 1];
        formatDumpLine(sector.data(), uint32_t(sectorSize), int(alone), kanji != 0, line);
        if (std::memcmp(line, &text[alone * DUMP_TEXT_LINE_BYTES], DUMP_TEXT_LINE_BYTES) != 0 ||
            line[DUMP_TEXT_LINE_BYTES] != '\0')
            __builtin_trap();
        if (std::memcmp(line, digits, length) != 0) __builtin_trap();
    }
    return 0;
}
