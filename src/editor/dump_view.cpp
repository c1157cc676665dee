#include "editor/dump_view.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

#include "editor/editor_state.h"
#include "editor/selection.h"
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

bool layoutDumpLine(int line, bool onTrail, DumpRun runs[DUMP_RUNS_PER_LINE])
{
    int32_t y = line * view.lineHeight - view.scrollY;
    auto cellX = [](int cell) { return cell * view.charWidth - view.scrollX; };

    runs[0] = {cellX(0), y, {}, 5, false, 0, 0, 0, 0};
    std::snprintf(runs[0].text, sizeof runs[0].text, "%03X0:", unsigned(line) & 0xFFF);

    const uint8_t* work = editor.workBuffer + DUMP_BYTES_PER_LINE * line;
    const uint8_t* saved = editor.savedCopy + DUMP_BYTES_PER_LINE * line;
    // The found and the selected bytes of this line, as columns.
    int lineStart = DUMP_BYTES_PER_LINE * line;
    auto column = [&](int64_t offset) {
        return int(std::clamp<int64_t>(offset - lineStart, 0, DUMP_BYTES_PER_LINE));
    };
    int markFirst = column(editor.markStart);
    int markEnd = column(int64_t(editor.markStart) + editor.markLength);
    ByteSpan selected = selectedBytes();
    int selectFirst = column(selected.first);
    int selectEnd = column(int64_t(selected.first) + selected.length);
    for (int k = 0; k < DUMP_BYTES_PER_LINE; k++) {
        DumpRun& run = runs[1 + k];
        bool marked = k >= markFirst && k < markEnd;
        // Selected bytes side by side make one band, spaces between included.
        int selectedCells = k < selectFirst || k >= selectEnd ? 0 : k + 1 < selectEnd ? 3 : 2;
        run = {cellX(DUMP_HEX_CELL + 3 * k), y, {}, 3, work[k] != saved[k], 0, marked ? 2 : 0,
               0, selectedCells};
        std::snprintf(run.text, sizeof run.text, "%02X ", work[k]);
    }

    DumpRun& text = runs[1 + DUMP_BYTES_PER_LINE];
    text = {cellX(DUMP_TEXT_CELL), y, {}, DUMP_BYTES_PER_LINE, false, markFirst, markEnd,
            selectFirst, selectEnd};
    return mapDumpCharacters(editor.workBuffer, editor.sectorSize, line, settings.kanji != 0,
                             onTrail, text.text);
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

void repaintLines(int32_t first, int32_t last)
{
    PixelRect lines = {0, first * view.lineHeight - view.scrollY, view.clientWidth,
                       (last - first + 1) * view.lineHeight};
    platform.invalidate(&lines);
}

void repaintChangedBytes(uint32_t first, uint32_t last)
{
    if (settings.kanji != 0)
        platform.invalidate(nullptr);
    else
        repaintLines(int32_t(first / DUMP_BYTES_PER_LINE), int32_t(last / DUMP_BYTES_PER_LINE));
}

uint8_t bannerBlue(int32_t row, int32_t height)
{
    return uint8_t(255 - 255 * int64_t(row) / height);
}

int32_t bannerFontHeight(int32_t width)
{
    return width / 15;
}
