#include "editor/dump_text.h"

#include <cstdio>

uint8_t toDisplayChar(uint8_t byte)
{
    if ((byte >= 0x20 && byte <= 0x7E) || (byte >= 0xA0 && byte <= 0xDF)) return byte;
    return '.';
}

// A byte outside a pair in 2-byte mode; lead and trail bytes pass through,
// as the pairs of a line drawn as one string are taken from them.
uint8_t toDisplayCharKanji(uint8_t byte)
{
    if (byte < 0x20) return '.';
    if (byte == 0x7F || byte == 0xA0 || byte >= 0xFD) return ' ';
    return byte;
}

namespace {

bool isLeadByte(uint8_t byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

bool isTrailByte(uint8_t byte)
{
    return byte >= 0x40 && byte <= 0xFC && byte != 0x7F;
}

// Whether the byte at `at` is the trail of a pair whose lead is the byte
// before it, as pairing from the sector's start finds. The byte before a run
// of lead bytes can be no lead, so a pair starts with the run, and the run's
// length alone tells whether its last byte opens one.
bool isTrailOfPair(const uint8_t* sector, uint32_t size, uint32_t at)
{
    if (at == 0 || at >= size || !isTrailByte(sector[at])) return false;
    uint32_t leads = 0;
    while (leads < at && isLeadByte(sector[at - 1 - leads])) leads++;
    return leads % 2 == 1;
}

// In 2-byte mode a pair shows as its two bytes, drawn as one full-width
// character; a pair that a line break splits, and a lead byte without its
// trail, show as spaces, so the rest of the line keeps in step. The walk
// starts on a character's first byte and moves a character at a time.
void mapKanjiLine(const uint8_t* sector, uint32_t size, uint32_t start, char* out)
{
    int k = 0;
    if (isTrailOfPair(sector, size, start)) out[k++] = ' ';
    while (k < DUMP_BYTES_PER_LINE) {
        uint32_t at = start + k;
        if (!isLeadByte(sector[at])) {
            out[k++] = char(toDisplayCharKanji(sector[at]));
        } else if (k == DUMP_BYTES_PER_LINE - 1 || !isTrailByte(sector[at + 1])) {
            out[k++] = ' ';
        } else {
            out[k++] = char(sector[at]);
            out[k++] = char(sector[at + 1]);
        }
    }
}

}  // namespace

void mapDumpCharacters(const uint8_t* sector, uint32_t size, int line, bool kanji, char* out)
{
    uint32_t start = uint32_t(DUMP_BYTES_PER_LINE * line);
    if (kanji) {
        mapKanjiLine(sector, size, start, out);
        return;
    }
    for (int k = 0; k < DUMP_BYTES_PER_LINE; k++) out[k] = char(toDisplayChar(sector[start + k]));
}

void formatDumpLine(const uint8_t* sector, uint32_t size, int line, bool kanji,
                    char out[DUMP_TEXT_LINE_BYTES + 1])
{
    const uint8_t* bytes = sector + DUMP_BYTES_PER_LINE * line;
    int at = std::snprintf(out, DUMP_TEXT_LINE_BYTES + 1, "%03X0: ", unsigned(line) & 0xFFF);
    for (int k = 0; k < DUMP_BYTES_PER_LINE; k++)
        at += std::snprintf(out + at, DUMP_TEXT_LINE_BYTES + 1 - at, "%02X ", bytes[k]);
    mapDumpCharacters(sector, size, line, kanji, out + at);
    at += DUMP_BYTES_PER_LINE;
    out[at++] = '\r';
    out[at++] = '\n';
    out[at] = '\0';
}
