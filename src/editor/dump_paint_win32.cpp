#include "editor/dump_paint_win32.h"

#include <cstring>

#include "editor/dump_view.h"
#include "editor/editor_state.h"

namespace {

const COLORREF BLACK = RGB(0, 0, 0);
const COLORREF RED = RGB(255, 0, 0);
const COLORREF WHITE = RGB(255, 255, 255);
const COLORREF CYAN = RGB(0, 255, 255);
// Behind the bytes a search found: apart from the red of edited bytes.
const COLORREF FOUND = RGB(255, 255, 128);
// Behind selected bytes: light, so that black and red stay legible on it.
const COLORREF SELECTED = RGB(160, 200, 255);

// Each byte advances exactly one cell: a face whose own advance differs from
// the cell width (IPAMincho standing in for MS Mincho under Wine) would
// otherwise drift off the grid the caret and the clicks use. A double-byte
// character gets the cells of both its bytes. A run ending in a lead byte
// makes the text functions read one advance past its bytes.
void drawRun(HDC dc, const DumpRun& run)
{
    INT advances[DUMP_BYTES_PER_LINE + 1];
    for (int i = 0; i <= run.length; i++) advances[i] = view.charWidth;
    ExtTextOutA(dc, run.x, run.y, 0, nullptr, run.text, UINT(run.length), advances);
}

// The run's cells on white, its found and its selected cells on their own
// colours, the text over them.
void drawMarkedRun(HDC dc, const DumpRun& run)
{
    auto fillCells = [&](int first, int end, COLORREF colour) {
        RECT cells = {run.x + first * view.charWidth, run.y, run.x + end * view.charWidth,
                      run.y + view.lineHeight};
        HBRUSH brush = CreateSolidBrush(colour);
        FillRect(dc, &cells, brush);
        DeleteObject(brush);
    };
    fillCells(0, run.length, WHITE);
    fillCells(run.markFirst, run.markEnd, FOUND);
    fillCells(run.selectFirst, run.selectEnd, SELECTED);
    SetBkMode(dc, TRANSPARENT);
    drawRun(dc, run);
    SetBkMode(dc, OPAQUE);
}

}  // namespace

HFONT createDumpFont(int height, bool italic)
{
    LOGFONTA font = {};
    font.lfHeight = height;
    font.lfWeight = FW_NORMAL;
    font.lfItalic = italic ? TRUE : FALSE;
    font.lfCharSet = SHIFTJIS_CHARSET;
    font.lfOutPrecision = OUT_STRING_PRECIS;
    font.lfClipPrecision = CLIP_STROKE_PRECIS;
    font.lfQuality = DRAFT_QUALITY;
    font.lfPitchAndFamily = FIXED_PITCH;
    std::strncpy(font.lfFaceName, DUMP_FONT_FACE, LF_FACESIZE - 1);
    return CreateFontIndirectA(&font);
}

void paintDumpInto(HDC dc)
{
    HFONT font = createDumpFont(view.fontHeight, false);
    HGDIOBJ previous = SelectObject(dc, font);
    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, WHITE);
    // Every line is drawn; the clipping region keeps the work to what needs it.
    DumpRun runs[DUMP_RUNS_PER_LINE];
    bool onTrail = false;
    for (int line = 0; line < editor.lineCount; line++) {
        onTrail = layoutDumpLine(line, onTrail, runs);
        for (const DumpRun& run : runs) {
            SetTextColor(dc, run.red ? RED : BLACK);
            if (run.markEnd > run.markFirst || run.selectEnd > run.selectFirst)
                drawMarkedRun(dc, run);
            else
                drawRun(dc, run);
        }
    }
    SelectObject(dc, previous);
    DeleteObject(font);
}

void paintDump(HWND window)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    paintDumpInto(dc);
    EndPaint(window, &paint);
}

void paintBannerInto(HDC dc, int width, int height)
{
    for (int row = 0; row < height; row++) {
        HBRUSH brush = CreateSolidBrush(RGB(0, 0, bannerBlue(row, height)));
        RECT line = {0, row, width, row + 1};
        FillRect(dc, &line, brush);
        DeleteObject(brush);
    }
    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, CYAN);
    SetTextColor(dc, BLACK);
    HFONT font = createDumpFont(bannerFontHeight(width), true);
    HGDIOBJ previous = SelectObject(dc, font);
    RECT all = {0, 0, width, height};
    DrawTextA(dc, BANNER_TITLE, -1, &all, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
    SelectObject(dc, previous);
    DeleteObject(font);
}

void paintBanner(HWND window)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    paintBannerInto(dc, view.clientWidth, view.clientHeight);
    EndPaint(window, &paint);
}
