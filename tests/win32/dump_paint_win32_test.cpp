#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <vector>

#include "app/platform_win32.h"
#include "editor/cursor.h"
#include "editor/dump_paint_win32.h"
#include "editor/dump_view.h"
#include "editor/editor_state.h"
#include "platform/settings.h"

namespace {

// A white 32-bit bitmap selected into a memory DC.
struct Canvas {
    Canvas(int width, int height) : width(width), height(height)
    {
        BITMAPINFO info = {};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS,
                                  reinterpret_cast<void**>(&pixels), nullptr, 0);
        dc = CreateCompatibleDC(nullptr);
        SelectObject(dc, bitmap);
        std::memset(pixels, 0xFF, size_t(width) * height * 4);
    }
    ~Canvas()
    {
        DeleteDC(dc);
        DeleteObject(bitmap);
    }
    int red(int x, int y) const { return pixels[y * width + x] >> 16 & 0xFF; }
    int green(int x, int y) const { return pixels[y * width + x] >> 8 & 0xFF; }
    int blue(int x, int y) const { return pixels[y * width + x] & 0xFF; }
    bool reddish(int x, int y) const
    {
        return red(x, y) - std::max(green(x, y), blue(x, y)) > 60;
    }
    bool ink(int x, int y) const { return (pixels[y * width + x] & 0xFFFFFF) != 0xFFFFFF; }

    int width, height;
    HBITMAP bitmap;
    HDC dc;
    uint32_t* pixels = nullptr;
};

const int MODIFIED[] = {0, 17, 100, 255, 511};

class DumpPaint : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override
    {
        installWin32Platform();
        resetEditor();
        editor.source = driveSource(0);
        editor.sectorSize = 512;
        editor.lineCount = 32;
        for (int i = 0; i < 512; i++) editor.workBuffer[i] = uint8_t(i * 37 + 11);
        std::memcpy(editor.savedCopy, editor.workBuffer, 512);
        for (int offset : MODIFIED) editor.workBuffer[offset] ^= 0x5A;
        view = ViewState{};
        const FontMetrics& metrics = FONT_METRICS[GetParam()];
        view.lineHeight = metrics.lineHeight;
        view.charWidth = metrics.charWidth;
        view.fontHeight = metrics.fontHeight;
    }
    bool isModified(int line, int column)
    {
        for (int offset : MODIFIED)
            if (offset == 16 * line + column) return true;
        return false;
    }
};

TEST_P(DumpPaint, RedOnlyInTheHexCellsOfModifiedBytes)
{
    for (int kanji : {0, 1}) {
        settings.kanji = kanji;
        const int cw = view.charWidth, lh = view.lineHeight;
        Canvas canvas(73 * cw, 32 * lh);
        paintDumpInto(canvas.dc);
        GdiFlush();

        for (int y = 0; y < canvas.height; y++) {
            for (int x = 0; x < canvas.width; x++) {
                if (!canvas.reddish(x, y)) continue;
                int line = y / lh, cell = x / cw;
                bool inHexRun = cell >= 6 && cell < 54 && isModified(line, (cell - 6) / 3);
                ASSERT_TRUE(inHexRun) << "red at " << x << "," << y << " kanji " << kanji;
            }
        }
        for (int offset : MODIFIED) {
            int line = offset / 16, column = offset % 16, reds = 0;
            for (int y = line * lh; y < (line + 1) * lh; y++)
                for (int x = (6 + 3 * column) * cw; x < (8 + 3 * column) * cw; x++)
                    reds += canvas.reddish(x, y);
            EXPECT_GT(reds, 0) << "byte " << offset << " kanji " << kanji;
        }
        int textInk = 0;
        for (int y = 0; y < canvas.height; y++)
            for (int x = 57 * cw; x < canvas.width; x++) textInk += canvas.ink(x, y);
        EXPECT_GT(textInk, 0);
    }
}

// The selection's background lies behind its cells alone, in both columns,
// a colour of its own; the red of an edited byte shows on it.
TEST_P(DumpPaint, SelectedCellsOnTheirOwnBackground)
{
    const int cw = view.charWidth, lh = view.lineHeight;
    selectBytes(14, 17);  // bytes 14 to 17: over the break of lines 0 and 1, 17 edited
    Canvas canvas(73 * cw, 32 * lh);
    paintDumpInto(canvas.dc);
    GdiFlush();
    auto selectedColour = [&](int x, int y) {
        return canvas.red(x, y) == 160 && canvas.green(x, y) == 200 && canvas.blue(x, y) == 255;
    };
    // The band's cells: line 0 from byte 14's first digit to its line's end
    // (byte 15's space left out), line 1 to byte 1's second digit.
    auto inBand = [&](int line, int cell) {
        if (line == 0) return (cell >= 6 + 3 * 14 && cell < 6 + 3 * 15 + 2) || cell >= 57 + 14;
        if (line == 1) return (cell >= 6 && cell < 6 + 3 * 1 + 2) || (cell >= 57 && cell < 59);
        return false;
    };
    int selectedPixels = 0, redOnIt = 0;
    for (int y = 0; y < canvas.height; y++) {
        for (int x = 0; x < canvas.width; x++) {
            if (!selectedColour(x, y)) {
                redOnIt += inBand(y / lh, x / cw) && canvas.reddish(x, y);
                continue;
            }
            selectedPixels++;
            ASSERT_TRUE(inBand(y / lh, x / cw)) << "selected at " << x << "," << y;
        }
    }
    // Every cell of the band shows it, where no glyph covers its corner.
    for (int line : {0, 1}) {
        for (int cell = 0; cell < 73; cell++) {
            if (inBand(line, cell)) {
                EXPECT_TRUE(selectedColour(cell * cw, line * lh)) << line << ":" << cell;
            }
        }
    }
    EXPECT_GT(selectedPixels, 0);
    EXPECT_GT(redOnIt, 0);
}

// Each character starts at its own cell, whatever the face's own advance.
TEST_P(DumpPaint, CharactersStandOnTheCellGrid)
{
    settings.kanji = 0;
    std::memset(editor.workBuffer, ' ', 512);
    editor.workBuffer[15] = '|';
    editor.workBuffer[0] = 'W';
    std::memcpy(editor.savedCopy, editor.workBuffer, 512);
    const int cw = view.charWidth, lh = view.lineHeight;
    Canvas dump(73 * cw, lh), reference(73 * cw, lh);
    paintDumpInto(dump.dc);
    HFONT font = createDumpFont(view.fontHeight, false);
    HGDIOBJ previous = SelectObject(reference.dc, font);
    TextOutA(reference.dc, 72 * cw, 0, "|", 1);
    TextOutA(reference.dc, 6 * cw, 0, "57", 1);  // the high digit of byte 0
    TextOutA(reference.dc, 7 * cw, 0, "7", 1);   // its low digit, one cell on
    SelectObject(reference.dc, previous);
    DeleteObject(font);
    GdiFlush();
    for (int y = 0; y < lh; y++) {
        for (int x = 72 * cw; x < 73 * cw; x++)
            ASSERT_EQ(dump.pixels[y * dump.width + x] & 0xFFFFFF,
                      reference.pixels[y * reference.width + x] & 0xFFFFFF)
                << x << "," << y;
        for (int x = 6 * cw; x < 8 * cw; x++)
            ASSERT_EQ(dump.pixels[y * dump.width + x] & 0xFFFFFF,
                      reference.pixels[y * reference.width + x] & 0xFFFFFF)
                << x << "," << y;
    }
}

TEST_P(DumpPaint, ADoubleByteCharacterIsOneFullWidthGlyph)
{
    settings.kanji = 1;
    std::memset(editor.workBuffer, 'A', 512);
    std::memcpy(editor.savedCopy, editor.workBuffer, 512);
    editor.workBuffer[5 * 16 + 4] = 0x93;  // the CJK ideograph for "day"
    editor.workBuffer[5 * 16 + 5] = 0xFA;
    const int cw = view.charWidth, lh = view.lineHeight;
    Canvas dump(73 * cw, 32 * lh), reference(73 * cw, 32 * lh);
    paintDumpInto(dump.dc);

    HFONT font = createDumpFont(view.fontHeight, false);
    HGDIOBJ previous = SelectObject(reference.dc, font);
    TextOutA(reference.dc, 61 * cw, 5 * lh, "\x93\xFA", 2);
    SelectObject(reference.dc, previous);
    DeleteObject(font);
    GdiFlush();

    int leftInk = 0, rightInk = 0;
    for (int y = 5 * lh; y < 6 * lh; y++) {
        for (int x = 61 * cw; x < 63 * cw; x++) {
            ASSERT_EQ(dump.pixels[y * dump.width + x] & 0xFFFFFF,
                      reference.pixels[y * reference.width + x] & 0xFFFFFF)
                << x << "," << y;
            (x < 62 * cw ? leftInk : rightInk) += dump.ink(x, y);
        }
    }
    EXPECT_GT(leftInk, 0);
    EXPECT_GT(rightInk, 0);
}

// 語の with 語 split by the line break, then あ, whose trail byte 0xA0 is a
// space only when it stands alone: line 5 ends blank (its lead byte drawn
// would make the text functions read a seventeenth advance), and line 6 shows
// a blank cell, の and あ on their own cells.
TEST_P(DumpPaint, PairsCountFromTheSectorStartAcrossLineBreaks)
{
    settings.kanji = 1;
    std::memset(editor.workBuffer, ' ', 512);
    const uint8_t bytes[] = {0x8C, 0xEA, 0x82, 0xCC, ' ', 0x82, 0xA0};
    std::memcpy(editor.workBuffer + 5 * 16 + 15, bytes, sizeof bytes);
    std::memcpy(editor.savedCopy, editor.workBuffer, 512);
    const int cw = view.charWidth, lh = view.lineHeight;
    Canvas dump(80 * cw, 32 * lh), reference(80 * cw, 32 * lh);
    paintDumpInto(dump.dc);

    HFONT font = createDumpFont(view.fontHeight, false);
    HGDIOBJ previous = SelectObject(reference.dc, font);
    TextOutA(reference.dc, 58 * cw, 6 * lh, "\x82\xCC", 2);
    TextOutA(reference.dc, 61 * cw, 6 * lh, "\x82\xA0", 2);
    SelectObject(reference.dc, previous);
    DeleteObject(font);
    GdiFlush();
    for (int y = 5 * lh; y < 7 * lh; y++)
        for (int x = 57 * cw; x < 80 * cw; x++)
            ASSERT_EQ(dump.pixels[y * dump.width + x] & 0xFFFFFF,
                      reference.pixels[y * reference.width + x] & 0xFFFFFF)
                << x << "," << y;
}

INSTANTIATE_TEST_SUITE_P(FontSizes, DumpPaint, ::testing::Range(0, 5));

TEST(Banner, GradientRowsAndTitle)
{
    Canvas canvas(300, 255);
    paintBannerInto(canvas.dc, 300, 255);
    GdiFlush();
    for (int row : {0, 1, 254}) {
        for (int x : {0, 299}) {
            EXPECT_EQ(canvas.red(x, row), 0);
            EXPECT_EQ(canvas.green(x, row), 0);
            EXPECT_EQ(canvas.blue(x, row), 255 - row);
        }
    }
    int cyan = 0;
    for (int x = 0; x < 300; x++)
        cyan += canvas.red(x, 127) == 0 && canvas.green(x, 127) == 255 && canvas.blue(x, 127) == 255;
    EXPECT_GT(cyan, 0);

    Canvas flat(300, 1);
    paintBannerInto(flat.dc, 300, 1);
    GdiFlush();
    EXPECT_EQ(flat.blue(0, 0), 255);
}

TEST(Caret, SizeFollowsTheLineHeight)
{
    installWin32Platform();
    mainWindow = CreateWindowA("STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 200, 200, nullptr,
                               nullptr, nullptr, nullptr);
    ASSERT_NE(mainWindow, nullptr);
    SetFocus(mainWindow);
    resetEditor();
    editor.source = driveSource(0);
    editor.lineCount = 32;
    view = ViewState{};
    view.lineHeight = 38;
    view.charWidth = 18;
    view.clientWidth = 200;
    view.clientHeight = 200;
    recreateCaret();
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetGUIThreadInfo(GetCurrentThreadId(), &info));
    EXPECT_EQ(info.hwndCaret, mainWindow);
    EXPECT_EQ(info.rcCaret.right - info.rcCaret.left, 2);
    EXPECT_EQ(info.rcCaret.bottom - info.rcCaret.top, 36);
    EXPECT_EQ(info.rcCaret.left, 6 * 18);
    DestroyWindow(mainWindow);
    mainWindow = nullptr;
}

}  // namespace
