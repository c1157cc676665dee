#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

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
    std::vector<uint8_t> sector(IMAGE_BUFFER_SIZE, 0);
    const uint8_t hello[16] = {0x48, 0x65, 0x6C, 0x6C, 0x6F, 0x2C, 0x20, 0x77,
                               0x6F, 0x72, 0x6C, 0x64, 0x21, 0x00, 0x0D, 0xFF};
    std::memcpy(&sector[32], hello, 16);
    char line[DUMP_TEXT_LINE_BYTES + 1];
    formatDumpLine(sector.data(), 512, 2, false, line);
    EXPECT_STREQ(line, "0020: 48 65 6C 6C 6F 2C 20 77 6F 72 6C 64 21 00 0D FF Hello, world!...\r\n");
    formatDumpLine(sector.data(), 512, 2, true, line);
    EXPECT_STREQ(line, "0020: 48 65 6C 6C 6F 2C 20 77 6F 72 6C 64 21 00 0D FF Hello, world!.. \r\n");

    formatDumpLine(sector.data(), 512, 0, true, line);
    EXPECT_EQ(std::strlen(line), 72u);
    EXPECT_STREQ(line, "0000: 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 ................\r\n");
    formatDumpLine(sector.data(), IMAGE_BUFFER_SIZE, 1151, false, line);  // the last line
    EXPECT_EQ(std::string(line, 6), "47F0: ");
}

std::string characters(const std::vector<uint8_t>& sector, int line)
{
    char text[DUMP_TEXT_LINE_BYTES + 1];
    formatDumpLine(sector.data(), uint32_t(sector.size()), line, true, text);
    return std::string(text + 54, 16);
}

// Shift-JIS pairs count from the sector's start, not from each line's.
TEST(DumpText, TwoByteModePairsFromTheSectorStart)
{
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;  // from byte 12 of a 32-byte sector of spaces
        std::string line0, line1;    // their last 4 and first 4 characters
    } cases[] = {
        {"あ, whose trail is 0xA0", {0x82, 0xA0, ' ', 0xA0}, "\x82\xA0  ", "    "},
        {"語 split, then の", {' ', ' ', ' ', 0x8C, 0xEA, 0x82, 0xCC, 'x'}, "    ", " \x82\xCCx"},
        {"lead bytes pairing up to the break", {0x81, 0x81, 0x81, 0x81, 0x40},
         "\x81\x81\x81\x81", "@   "},
        {"an odd run splits at the break", {' ', 0x81, 0x81, 0x81, 0x81, 'y'}, " \x81\x81 ", " y  "},
        {"a lead without its trail", {0x82, 0x20, 0x82, 0x7F}, "    ", "    "},
        {"katakana are single bytes", {0xB1, 0xB2, 0xDF, 0xA1, 0xC4}, "\xB1\xB2\xDF\xA1",
         "\xC4   "},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> sector(32, ' ');
        std::copy(c.bytes.begin(), c.bytes.end(), sector.begin() + 12);
        EXPECT_EQ(characters(sector, 0).substr(12), c.line0) << c.what;
        EXPECT_EQ(characters(sector, 1).substr(0, 4), c.line1) << c.what;
    }
    std::vector<uint8_t> leadLast(32, ' ');
    leadLast[31] = 0x82;  // the sector's last byte: no trail can follow
    EXPECT_EQ(characters(leadLast, 1), std::string(16, ' '));
}

// The same rule read forwards, a character at a time from byte 0.
std::string pairedForwards(const std::vector<uint8_t>& sector, int line)
{
    auto lead = [](uint8_t b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); };
    auto trail = [](uint8_t b) { return b >= 0x40 && b <= 0xFC && b != 0x7F; };
    std::string text(sector.size(), '?');
    for (size_t i = 0; i < sector.size();) {
        if (lead(sector[i]) && i + 1 < sector.size() && trail(sector[i + 1])) {
            bool split = i % 16 == 15;
            text[i] = split ? ' ' : char(sector[i]);
            text[i + 1] = split ? ' ' : char(sector[i + 1]);
            i += 2;
        } else {
            text[i] = lead(sector[i]) ? ' ' : char(toDisplayCharKanji(sector[i]));
            i++;
        }
    }
    return text.substr(16 * size_t(line), 16);
}

TEST(DumpText, TwoByteModeAgreesWithAForwardReading)
{
    std::mt19937 random(11);
    // Odd rounds draw from lead, trail and edge bytes, for long runs of leads.
    const uint8_t edges[] = {0x81, 0x82, 0x9F, 0xE0, 0xFC, 0x40, 0xA0, 0x7F, 0x20, 0x00, 0xFD};
    for (int round = 0; round < 300; round++) {
        std::vector<uint8_t> sector(512);
        for (uint8_t& b : sector) b = round % 2 ? edges[random() % sizeof edges] : uint8_t(random());
        for (int line = 0; line < 32; line++)
            ASSERT_EQ(characters(sector, line), pairedForwards(sector, line)) << round << ":" << line;
    }
}

using DumpLayout = EditorTest;

TEST_F(DumpLayout, RunsOfALineAtTheirCells)
{
    ASSERT_TRUE(loadSector(driveSource(DRIVE_A), 0));
    editor.workBuffer[16 * 31 + 2] ^= 0xFF;
    DumpRun runs[DUMP_RUNS_PER_LINE];
    layoutDumpLine(31, false, runs);
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
    layoutDumpLine(0, false, runs);
    EXPECT_EQ(runs[0].x, -25);
    EXPECT_EQ(runs[0].y, -40);
    EXPECT_EQ(runs[1].x, 35);
}

TEST_F(DumpLayout, TheScreenShowsTheExportedCharacters)
{
    ASSERT_TRUE(loadSector(driveSource(DRIVE_A), 0));
    const uint8_t split[] = {0x8C, 0xEA, 0x82, 0xCC};  // 語の, 語 across lines 3 and 4
    std::memcpy(editor.workBuffer + 63, split, sizeof split);
    std::vector<uint8_t> sector(editor.workBuffer, editor.workBuffer + 512);
    DumpRun runs[DUMP_RUNS_PER_LINE];
    for (int kanji : {0, 1}) {
        settings.kanji = kanji;
        bool onTrail = false;
        for (int line = 0; line < 32; line++) {
            onTrail = layoutDumpLine(line, onTrail, runs);
            char text[DUMP_TEXT_LINE_BYTES + 1];
            formatDumpLine(sector.data(), 512, line, kanji != 0, text);
            EXPECT_EQ(std::string(runs[17].text), std::string(text + 54, 16)) << line;
        }
    }
}

// Selected bytes side by side are one band in the hex column, the space
// after the last on each line left out; their characters are marked too.
TEST_F(DumpLayout, SelectedCellsInBothColumns)
{
    ASSERT_TRUE(loadSector(driveSource(DRIVE_A), 0));
    selectBytes(0x1E, 0x22);
    struct Row {
        int line;
        std::vector<int> hexCells;  // of bytes 0 to 15
        int textFirst, textEnd;
    } rows[] = {
        {0, std::vector<int>(16, 0), 16, 16},
        {1, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 3, 2}, 14, 16},
        {2, {3, 3, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 0, 3},
        {3, std::vector<int>(16, 0), 0, 0},
    };
    DumpRun runs[DUMP_RUNS_PER_LINE];
    for (const Row& row : rows) {
        layoutDumpLine(row.line, false, runs);
        std::vector<int> hexCells;
        for (int k = 0; k < 16; k++) {
            EXPECT_EQ(runs[1 + k].selectFirst, 0);
            hexCells.push_back(runs[1 + k].selectEnd);
        }
        EXPECT_EQ(hexCells, row.hexCells) << row.line;
        EXPECT_EQ(runs[17].selectFirst, row.textFirst) << row.line;
        EXPECT_EQ(runs[17].selectEnd, row.textEnd) << row.line;
        EXPECT_EQ(runs[0].selectEnd, 0);
    }
    // Apart from a found match's cells: both can be told.
    editor.markStart = 0x21;
    editor.markLength = 4;
    layoutDumpLine(2, false, runs);
    EXPECT_EQ(runs[17].markFirst, 1);
    EXPECT_EQ(runs[17].markEnd, 5);
    EXPECT_EQ(runs[17].selectEnd, 3);
    clearSelection();
    layoutDumpLine(2, false, runs);
    EXPECT_EQ(runs[17].selectEnd, runs[17].selectFirst);
}

TEST_F(DumpLayout, CursorByteRepaintByMode)
{
    ASSERT_TRUE(loadSector(driveSource(DRIVE_A), 0));
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
