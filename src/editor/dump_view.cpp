#include "editor/dump_view.h"

#include <cctype>
#include <cstdio>
#include <cstring>

#include "editor/editor_state.h"
#include "platform/platform.h"
#include "platform/settings.h"

ViewState view;

// The cell width is half the font height: the advance of a half-width
// character in the fixed-pitch Mincho face.
const FontMetrics FONT_METRICS[FONT_SIZE_COUNT] = {
    {13, 6, 12}, {17, 8, 16}, {21, 10, 20}, {28, 13, 26}, {38, 18, 36},
};

const char* const DUMP_FONT_FACE = "ＭＳ 明朝";
const char* const BANNER_TITLE = " Veldis  Ver. 1.21 ";

int hexDigitValue(int code)
{
    if (code >= '0' && code <= '9') return code - '0';
    return std::toupper(code) - 55;
}

bool isHexDigit(int code)
{
    return code >= 0 && code < 0x80 && std::isxdigit(code);
}

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

void mapCharacters(const uint8_t* sector, uint32_t size, int line, bool kanji, char* out)
{
    uint32_t start = uint32_t(DUMP_BYTES_PER_LINE * line);
    if (kanji) {
        mapKanjiLine(sector, size, start, out);
        return;
    }
    for (int k = 0; k < DUMP_BYTES_PER_LINE; k++) out[k] = char(toDisplayChar(sector[start + k]));
}

}  // namespace

void formatDumpLine(const uint8_t* sector, uint32_t size, int line, bool kanji,
                    char out[DUMP_TEXT_LINE_BYTES + 1])
{
    const uint8_t* bytes = sector + DUMP_BYTES_PER_LINE * line;
    int at = std::snprintf(out, DUMP_TEXT_LINE_BYTES + 1, "%03X0: ", unsigned(line) & 0xFFF);
    for (int k = 0; k < DUMP_BYTES_PER_LINE; k++)
        at += std::snprintf(out + at, DUMP_TEXT_LINE_BYTES + 1 - at, "%02X ", bytes[k]);
    mapCharacters(sector, size, line, kanji, out + at);
    at += DUMP_BYTES_PER_LINE;
    out[at++] = '\r';
    out[at++] = '\n';
    out[at] = '\0';
}

void layoutDumpLine(int line, DumpRun runs[DUMP_RUNS_PER_LINE])
{
    int32_t y = line * view.lineHeight - view.scrollY;
    auto cellX = [](int cell) { return cell * view.charWidth - view.scrollX; };

    runs[0] = {cellX(0), y, {}, 5, false};
    std::snprintf(runs[0].text, sizeof runs[0].text, "%03X0:", unsigned(line) & 0xFFF);

    const uint8_t* work = editor.workBuffer + DUMP_BYTES_PER_LINE * line;
    const uint8_t* saved = editor.savedCopy + DUMP_BYTES_PER_LINE * line;
    for (int k = 0; k < DUMP_BYTES_PER_LINE; k++) {
        DumpRun& run = runs[1 + k];
        run = {cellX(DUMP_HEX_CELL + 3 * k), y, {}, 3, work[k] != saved[k]};
        std::snprintf(run.text, sizeof run.text, "%02X ", work[k]);
    }

    DumpRun& text = runs[1 + DUMP_BYTES_PER_LINE];
    text = {cellX(DUMP_TEXT_CELL), y, {}, DUMP_BYTES_PER_LINE, false};
    mapCharacters(editor.workBuffer, editor.sectorSize, line, settings.kanji != 0, text.text);
}

void repaintCursorByte()
{
    if (settings.kanji != 0) {
        platform.invalidate(nullptr);
        return;
    }
    int32_t top = editor.cursorLine * view.lineHeight - view.scrollY;
    int32_t hexLeft = (DUMP_HEX_CELL + 3 * editor.cursorColumn) * view.charWidth - view.scrollX;
    int32_t textLeft = (DUMP_TEXT_CELL + editor.cursorColumn) * view.charWidth - view.scrollX;
    PixelRect hex = {hexLeft, top, 2 * view.charWidth, view.lineHeight};
    PixelRect text = {textLeft, top, view.charWidth, view.lineHeight};
    platform.invalidate(&hex);
    platform.invalidate(&text);
}

uint8_t bannerBlue(int32_t row, int32_t height)
{
    return uint8_t(255 - 255 * int64_t(row) / height);
}

int32_t bannerFontHeight(int32_t width)
{
    return width / 15;
}
