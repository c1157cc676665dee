#pragma once
#include <cstdint>

#include "editor/dump_text.h"
#include "platform/settings.h"

// The view's metrics and scroll state, in pixels.
struct ViewState {
    int32_t lineHeight;
    int32_t charWidth;
    int32_t fontHeight;
    int32_t contentWidth;
    int32_t contentHeight;
    int32_t scrollX;
    int32_t scrollY;
    int32_t clientWidth;
    int32_t clientHeight;
};

extern ViewState view;

// A dump line is 73 cells: "%03X0:" at 0, byte k's hex digits at 6 + 3k and
// 7 + 3k (its space at 8 + 3k), its character at 57 + k.
constexpr int DUMP_LINE_CELLS = 73;
constexpr int DUMP_HEX_CELL = 6;
constexpr int DUMP_TEXT_CELL = 57;

struct FontMetrics {
    int32_t lineHeight;
    int32_t charWidth;
    int32_t fontHeight;
};

extern const FontMetrics FONT_METRICS[FONT_SIZE_COUNT];
extern const char* const DUMP_FONT_FACE;

int hexDigitValue(int code);
bool isHexDigit(int code);

// One piece of text of a painted line, at client pixel (x, y).
struct DumpRun {
    int32_t x;
    int32_t y;
    char text[DUMP_BYTES_PER_LINE + 1];
    int length;
    bool red;  // a hex byte that differs from the saved copy
    // The cells [markFirst, markEnd) of the run hold bytes a search found,
    // the cells [selectFirst, selectEnd) selected ones.
    int markFirst;
    int markEnd;
    int selectFirst;
    int selectEnd;
};

constexpr int DUMP_RUNS_PER_LINE = 2 + DUMP_BYTES_PER_LINE;

// The runs of dump line `line` of the editor's sector, as painting draws them
// line after line from the first: `onTrail` and the result carry the 2-byte
// pairing from one line to the next (see mapDumpCharacters).
bool layoutDumpLine(int line, bool onTrail, DumpRun runs[DUMP_RUNS_PER_LINE]);

// Marks the cursor byte for repainting: its hex cells and character cell, or
// the whole client area in 2-byte mode, where a character may span two cells.
void repaintCursorByte();
// Marks dump lines `first` to `last` for repainting, across the client area.
void repaintLines(int32_t first, int32_t last);
// Marks the lines of the changed bytes `first` to `last` for repainting, or
// the whole client area in 2-byte mode, where the pairs after them may change.
void repaintChangedBytes(uint32_t first, uint32_t last);

// The start screen: row `row` of `height` has this blue; the title font is
// width / 15 pixels high.
extern const char* const BANNER_TITLE;
uint8_t bannerBlue(int32_t row, int32_t height);
int32_t bannerFontHeight(int32_t width);
