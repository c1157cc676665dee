#include "editor/dump_text.h"

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

// Whether the line starting at `start` begins with the trail of a pair whose
// lead ends the line before, as pairing from the sector's start finds. The
// byte before a run of lead bytes can be no lead, so a pair starts with the
// run, and the run's length alone tells whether its last byte opens one. A
// walk over every line carries this instead: the run can be the whole sector.
bool startsOnTrail(const uint8_t* sector, uint32_t size, uint32_t start)
{
    if (start == 0 || start >= size || !isTrailByte(sector[start])) return false;
    uint32_t leads = 0;
    while (leads < start && isLeadByte(sector[start - 1 - leads])) leads++;
    return leads % 2 == 1;
}

// In 2-byte mode a pair shows as its two bytes, drawn as one full-width
// character; a pair that a line break splits, and a lead byte without its
// trail, show as spaces, so the rest of the line keeps in step. The walk
// starts on a character's first byte and moves a character at a time, so
// where it ends tells whether the next line begins on a trail.
bool mapKanjiLine(const uint8_t* sector, uint32_t size, uint32_t start, bool onTrail, char* out)
{
    int k = 0;
    if (onTrail) out[k++] = ' ';
    while (k < DUMP_BYTES_PER_LINE) {
        uint32_t at = start + k;
        if (!isLeadByte(sector[at])) {
            out[k++] = char(toDisplayCharKanji(sector[at]));
        } else if (k == DUMP_BYTES_PER_LINE - 1) {
            out[k++] = ' ';
            return at + 1 < size && isTrailByte(sector[at + 1]);
        } else if (!isTrailByte(sector[at + 1])) {
            out[k++] = ' ';
        } else {
            out[k++] = char(sector[at]);
            out[k++] = char(sector[at + 1]);
        }
    }
    return false;
}

// Digits written directly: a formatting call per byte dominates a sector's
// export, the more so under the sanitizers.
const char HEX_DIGITS[] = "0123456789ABCDEF";

bool formatLine(const uint8_t* sector, uint32_t size, int line, bool kanji, bool onTrail,
                char out[DUMP_TEXT_LINE_BYTES + 1])
{
    unsigned address = unsigned(line) & 0xFFF;
    char* at = out;
    *at++ = HEX_DIGITS[address >> 8];
    *at++ = HEX_DIGITS[(address >> 4) & 0xF];
    *at++ = HEX_DIGITS[address & 0xF];
    *at++ = '0';
    *at++ = ':';
    *at++ = ' ';
    const uint8_t* bytes = sector + DUMP_BYTES_PER_LINE * line;
    for (int k = 0; k < DUMP_BYTES_PER_LINE; k++) {
        *at++ = HEX_DIGITS[bytes[k] >> 4];
        *at++ = HEX_DIGITS[bytes[k] & 0xF];
        *at++ = ' ';
    }
    bool nextOnTrail = mapDumpCharacters(sector, size, line, kanji, onTrail, at);
    at += DUMP_BYTES_PER_LINE;
    *at++ = '\r';
    *at++ = '\n';
    *at = '\0';
    return nextOnTrail;
}

}  // namespace

bool mapDumpCharacters(const uint8_t* sector, uint32_t size, int line, bool kanji, bool onTrail,
                       char* out)
{
    uint32_t start = uint32_t(DUMP_BYTES_PER_LINE * line);
    if (kanji) return mapKanjiLine(sector, size, start, onTrail, out);
    for (int k = 0; k < DUMP_BYTES_PER_LINE; k++) out[k] = char(toDisplayChar(sector[start + k]));
    return false;
}

void mapSpanCharacters(const uint8_t* sector, uint32_t size, uint32_t first, uint32_t length,
                       bool kanji, char* out)
{
    uint32_t end = first + length, at = first;
    if (kanji && startsOnTrail(sector, size, first)) out[at++ - first] = ' ';
    while (at < end) {
        uint8_t byte = sector[at];
        if (!kanji) {
            out[at++ - first] = char(toDisplayChar(byte));
        } else if (!isLeadByte(byte)) {
            out[at++ - first] = char(toDisplayCharKanji(byte));
        } else if (at + 1 < end && isTrailByte(sector[at + 1])) {
            out[at - first] = char(byte);
            out[at + 1 - first] = char(sector[at + 1]);
            at += 2;
        } else {
            out[at++ - first] = ' ';  // no trail, or the trail past the end
        }
    }
}

void formatDumpLine(const uint8_t* sector, uint32_t size, int line, bool kanji,
                    char out[DUMP_TEXT_LINE_BYTES + 1])
{
    uint32_t start = uint32_t(DUMP_BYTES_PER_LINE * line);
    formatLine(sector, size, line, kanji, kanji && startsOnTrail(sector, size, start), out);
}

uint32_t formatDumpText(const uint8_t* sector, uint32_t size, bool kanji, char* out)
{
    uint32_t length = 0;
    bool onTrail = false;
    for (int line = 0; line < int(size / DUMP_BYTES_PER_LINE); line++) {
        onTrail = formatLine(sector, size, line, kanji, onTrail, out + length);
        length += DUMP_TEXT_LINE_BYTES;
    }
    out[length] = '\0';
    return length;
}
