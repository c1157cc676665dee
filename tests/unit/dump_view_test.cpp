#include <cstring>

#include "editor_fixture.h"

namespace {

TEST(DumpMapping, SingleByteMode)
{
    for (int b = 0; b < 256; b++) {
        bool shown = (b >= 0x20 && b <= 0x7E) || (b >= 0xA0 && b <= 0xDF);
        EXPECT_EQ(toDisplayChar(uint8_t(b)), shown ? b : '.') << b;
    }
}

TEST(DumpMapping, TwoByteMode)
{
    for (int b = 0; b < 256; b++) {
        int expected = b;
        if (b < 0x20) expected = '.';
        if (b == 0x7F || b == 0xA0 || b >= 0xFD) expected = ' ';
        EXPECT_EQ(toDisplayCharKanji(uint8_t(b)), expected) << b;
        EXPECT_NE(toDisplayCharKanji(uint8_t(b)), 0);
    }
}

TEST(DumpMapping, HexDigitValues)
{
    EXPECT_EQ(hexDigitValue('a'), 10);
    EXPECT_EQ(hexDigitValue('A'), 10);
    EXPECT_EQ(hexDigitValue('f'), 15);
    EXPECT_EQ(hexDigitValue('7'), 7);
    EXPECT_EQ(hexDigitValue('0'), 0);
    for (int code = 0; code < 256; code++)
        EXPECT_EQ(isHexDigit(code), std::strchr("0123456789abcdefABCDEF", code) != nullptr &&
                                        code != 0)
            << code;
}

TEST(DumpText, LinesAre72Bytes)
{
    const uint8_t hello[16] = {0x48, 0x65, 0x6C, 0x6C, 0x6F, 0x2C, 0x20, 0x77,
                               0x6F, 0x72, 0x6C, 0x64, 0x21, 0x00, 0x0D, 0xFF};
    char line[DUMP_TEXT_LINE_BYTES + 1];
    formatDumpLine(2, hello, false, line);
    EXPECT_STREQ(line, "0020: 48 65 6C 6C 6F 2C 20 77 6F 72 6C 64 21 00 0D FF Hello, world!...\r\n");
    formatDumpLine(2, hello, true, line);
    EXPECT_STREQ(line, "0020: 48 65 6C 6C 6F 2C 20 77 6F 72 6C 64 21 00 0D FF Hello, world!.. \r\n");

    const uint8_t zero[16] = {};
    formatDumpLine(0, zero, true, line);
    EXPECT_EQ(std::strlen(line), 72u);
    EXPECT_STREQ(line, "0000: 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 ................\r\n");
    formatDumpLine(1151, zero, false, line);  // the last line of an 18432-byte sector
    EXPECT_EQ(std::string(line, 6), "47F0: ");
}

using DumpLayout = EditorTest;

TEST_F(DumpLayout, RunsOfALineAtTheirCells)
{
    ASSERT_TRUE(loadSector(DRIVE_A, 0));
    editor.workBuffer[16 * 31 + 2] ^= 0xFF;
    DumpRun runs[DUMP_RUNS_PER_LINE];
    layoutDumpLine(31, runs);
    EXPECT_STREQ(runs[0].text, "01F0:");
    EXPECT_EQ(runs[0].x, 0);
    EXPECT_EQ(runs[0].y, 31 * 21);
    for (int k = 0; k < 16; k++) {
        EXPECT_EQ(runs[1 + k].x, (6 + 3 * k) * 10);
        EXPECT_EQ(runs[1 + k].length, 3);
        EXPECT_EQ(runs[1 + k].red, k == 2) << k;
    }
    EXPECT_STREQ(runs[16].text, "AA ");  // the boot signature's second byte
    EXPECT_EQ(runs[17].x, 570);
    EXPECT_EQ(runs[17].length, 16);
    EXPECT_FALSE(runs[17].red);

    view.scrollX = 25;
    view.scrollY = 40;
    layoutDumpLine(0, runs);
    EXPECT_EQ(runs[0].x, -25);
    EXPECT_EQ(runs[0].y, -40);
    EXPECT_EQ(runs[1].x, 35);
}

TEST_F(DumpLayout, CursorByteRepaintByMode)
{
    ASSERT_TRUE(loadSector(DRIVE_A, 0));
    editor.cursorLine = 3;
    editor.cursorColumn = 4;
    settings.kanji = 0;
    fake.repaintedRects.clear();
    repaintCursorByte();
    ASSERT_EQ(fake.repaintedRects.size(), 2u);
    EXPECT_EQ(fake.repaintedRects[0].left, 180);
    EXPECT_EQ(fake.repaintedRects[0].top, 63);
    EXPECT_EQ(fake.repaintedRects[0].height, 21);
    EXPECT_EQ(fake.repaintedRects[1].left, 610);
    EXPECT_EQ(fake.repaintedRects[1].width, 10);

    settings.kanji = 1;
    int repaints = fake.wholeRepaints;
    repaintCursorByte();
    EXPECT_EQ(fake.wholeRepaints, repaints + 1);
}

TEST(Banner, GradientAndTitleFont)
{
    EXPECT_EQ(bannerBlue(0, 1), 255);
    for (int row = 0; row < 255; row++) EXPECT_EQ(bannerBlue(row, 255), 255 - row);
    EXPECT_EQ(bannerBlue(479, 480), 255 - 255 * 479 / 480);
    EXPECT_GE(bannerBlue(9999, 10000), 1);
    EXPECT_EQ(bannerFontHeight(300), 20);
    EXPECT_STREQ(BANNER_TITLE, " Veldis  Ver. 1.21 ");
}

}  // namespace
