#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "image/rescue_map.h"
#include "map_blocks.h"

namespace {

struct Mark {
    SectorNumber at, count;
    MapStatus status;
};

constexpr MapStatus UNTRIED = MapStatus::NonTried, UNTRIMMED = MapStatus::NonTrimmed,
                    BAD = MapStatus::Bad, READ = MapStatus::Finished;

// Marks split, replace and merge blocks; what the queries say agrees with them.
TEST(RescueMap, MarksSplitReplaceAndMergeBlocks)
{
    struct Case {
        std::vector<Mark> marks;
        const char* blocks;
    } cases[] = {
        {{}, "10?"},
        {{{0, 10, READ}}, "10+"},
        {{{3, 2, READ}}, "3? 2+ 5?"},
        {{{0, 3, READ}}, "3+ 7?"},
        {{{7, 3, READ}}, "7? 3+"},
        {{{4, 0, READ}}, "10?"},
        {{{2, 2, READ}, {4, 2, READ}}, "2? 4+ 4?"},
        {{{2, 2, READ}, {6, 2, READ}, {4, 2, READ}}, "2? 6+ 2?"},
        {{{2, 3, READ}, {3, 1, READ}}, "2? 3+ 5?"},
        {{{2, 6, BAD}, {3, 1, READ}}, "2? 1- 1+ 4- 2?"},
        {{{1, 1, BAD}, {3, 1, BAD}, {5, 1, BAD}, {0, 10, UNTRIMMED}}, "10*"},
        {{{1, 1, BAD}, {3, 1, BAD}, {1, 3, UNTRIED}}, "10?"},
        {{{1, 1, BAD}, {3, 1, BAD}, {5, 1, BAD}, {2, 3, UNTRIED}}, "1? 1- 3? 1- 4?"},
    };
    for (const Case& c : cases) {
        RescueMap map;
        ASSERT_TRUE(beginMap(map, 100, 10, 512));
        std::vector<MapStatus> each(10, UNTRIED);
        for (const Mark& m : c.marks) {
            ASSERT_TRUE(markSectors(map, m.at, m.count, m.status));
            for (SectorNumber s = m.at; s < m.at + m.count; s++) each[s] = m.status;
        }
        EXPECT_EQ(blocksOf(map), c.blocks);
        SectorNumber read = 0;
        for (SectorNumber s = 0; s < 10; s++) {
            EXPECT_EQ(statusAt(map, s), each[s]) << c.blocks << " at " << s;
            read += each[s] == READ;
        }
        EXPECT_EQ(sectorsWith(map, READ), read) << c.blocks;
        EXPECT_EQ(unreadSectors(map), 10 - read) << c.blocks;
    }
}

TEST(RescueMap, StretchesAreFoundForwardsAndBackwards)
{
    RescueMap map;  // 2? 3+ 1- 2+ 2?
    ASSERT_TRUE(beginMap(map, 0, 10, 512));
    markSectors(map, 2, 6, READ);
    markSectors(map, 5, 1, BAD);
    struct Case {
        bool forwards;
        SectorNumber from;  // forwards: the first sector; backwards: the end
        MapStatus status;
        bool found;
        SectorNumber first, count;
    } cases[] = {
        {true, 0, READ, true, 2, 3},     {true, 3, READ, true, 3, 2},
        {true, 5, READ, true, 6, 2},     {true, 8, READ, false, 0, 0},
        {true, 2, UNTRIED, true, 8, 2},    {true, 9, UNTRIED, true, 9, 1},
        {true, 10, UNTRIED, false, 0, 0},  {true, 0, UNTRIMMED, false, 0, 0},
        {false, 10, READ, true, 6, 2},   {false, 7, READ, true, 6, 1},
        {false, 6, READ, true, 2, 3},    {false, 3, READ, true, 2, 1},
        {false, 2, READ, false, 0, 0},   {false, 10, UNTRIED, true, 8, 2},
        {false, 1, UNTRIED, true, 0, 1},   {false, 0, UNTRIED, false, 0, 0},
    };
    for (const Case& c : cases) {
        SectorRange found{99, 99};
        bool any = c.forwards ? nextStretch(map, c.from, c.status, found)
                              : previousStretch(map, c.from, c.status, found);
        std::string row = std::to_string(c.forwards) + " " + std::to_string(c.from) + char(c.status);
        EXPECT_EQ(any, c.found) << row;
        if (c.found) {
            EXPECT_EQ(found.first, c.first) << row;
            EXPECT_EQ(found.count, c.count) << row;
        }
    }
}

std::string formatted(const RescueMap& map)
{
    size_t length = 0;
    char* text = formatMap(map, length);
    std::string copy(text, length);
    std::free(text);
    return copy;
}

// What is written is read back as it was, from a range anywhere on a drive.
TEST(RescueMap, AFormattedMapParsesBackWhole)
{
    for (uint32_t sectorSize : {512u, 4096u}) {
        RescueMap map, back;
        ASSERT_TRUE(beginMap(map, 1000, 5000, sectorSize));
        markSectors(map, 0, 4000, READ);
        markSectors(map, 100, 1, BAD);
        markSectors(map, 200, 50, MapStatus::NonScraped);
        markSectors(map, 4000, 10, UNTRIMMED);
        map.position = 4005;
        map.phase = UNTRIMMED;
        std::string text = formatted(map);
        ASSERT_TRUE(parseMap(text.data(), text.size(), sectorSize, back)) << text;
        EXPECT_EQ(blocksOf(back), "100+ 1- 99+ 50/ 3750+ 10* 990?");
        EXPECT_EQ(back.first, 1000u);
        EXPECT_EQ(back.count, 5000u);
        EXPECT_EQ(back.position, 4005u);
        EXPECT_EQ(back.phase, UNTRIMMED);
        EXPECT_EQ(formatted(back), text);
    }
    RescueMap map;
    beginMap(map, 0, 32768, 512);
    markSectors(map, 100, 1, BAD);
    EXPECT_NE(formatted(map).find("\n0x0000C800  0x00000200  -\n"), std::string::npos);
}

// Rows are ddrescue's own files and files that only look like one.
TEST(RescueMap, ParsingTakesDdrescueFilesAndRefusesAnythingElse)
{
    const std::string ddrescue =
        "# Mapfile. Created by GNU ddrescue version 1.27\n"
        "# Command line: ddrescue -d -r1 /dev/loop0 r.img r.map\n"
        "# Start time:   2026-12-09 17:00:39\n"
        "# Current time: 2026-12-09 17:00:40\n"
        "# Finished\n"
        "# current_pos  current_status  current_pass\n"
        "0x0036AE00     +               1\n"
        "#      pos        size  status\n"
        "0x00000000  0x0000C800  +\n"
        "0x0000C800  0x00000200  -\n"
        "0x0000CA00  0x00264600  +\n"
        "0x00271000  0x000FA000  -\n"
        "0x0036B000  0x00C95000  +\n";
    const char nul[] = "0 + 1\n0x0 0x2\0" "00 +\n";
    const std::string longComment = "# Command line: ddrescue " + std::string(400, 'p') + "\n";
    struct Case {
        const char* what;
        std::string text;
        const char* blocks;  // null: refused
        SectorNumber first = 0, position = 0;
    } cases[] = {
        {"ddrescue 1.27's", ddrescue, "100+ 1- 4899+ 2000- 25768+", 0, 6999},
        {"a two-column status line", "0x0 ?\n0x0 0x400 ?\n", "2?"},
        {"decimal, no last line end", "1024 -\n0 1024 +\n1024 512 -", "2+ 1-", 0, 2},
        {"CRLF", "0 + 1\r\n0x0 0x200 +\r\n0x200 0x200 +\r\n0x400 0x200 /\r\n", "2+ 1/"},
        {"tabs, blank lines", "\n0x0\t*\t1\n\n0x0\t0x200\t*\n", "1*"},
        {"from sector 8", "0x1200 * 1\n0x1000 0x400 *\n0x1400 0x200 +\n", "2* 1+", 8, 1},
        {"a long comment", longComment + "0 + 1\n0 0x200 +\n", "1+"},
        {"a gap", "0 + 1\n0x0 0x200 +\n0x400 0x200 -\n", nullptr},
        {"an overlap", "0 + 1\n0x0 0x400 +\n0x200 0x200 -\n", nullptr},
        {"size 0", "0 + 1\n0x0 0x0 +\n", nullptr},
        {"a position of part sectors", "0 + 1\n0x100 0x200 +\n", nullptr},
        {"a size of part sectors", "0 + 1\n0x0 0x300 +\n", nullptr},
        {"past 64 bits", "0 + 1\n0x0 0x10000000000000000 +\n", nullptr},
        {"an end past 64 bits", "0 + 1\n0xFFFFFFFFFFFFFE00 0x400 +\n", nullptr},
        {"a status of no pass", "0 + 1\n0x0 0x200 X\n", nullptr},
        {"a phase of no pass", "0 X 1\n0x0 0x200 +\n", nullptr},
        {"a junk line", "0 + 1\n0x0 0x200 +\njunk\n", nullptr},
        {"a fourth column", "0 + 1\n0x0 0x200 + 1\n", nullptr},
        {"no status line", "# pos size status\n0x0 0x200 +\n", nullptr},
        {"no blocks", "# a map\n0 + 1\n", nullptr},
        {"nothing", "", nullptr},
        {"a NUL byte", std::string(nul, sizeof nul - 1), nullptr},
        {"an over-long line", "0 + 1\n0x0" + std::string(300, ' ') + "0x200 +\n", nullptr},
    };
    for (const Case& c : cases) {
        RescueMap map;
        bool parsed = parseMap(c.text.data(), c.text.size(), 512, map);
        ASSERT_EQ(parsed, c.blocks != nullptr) << c.what;
        if (!parsed) continue;
        EXPECT_EQ(blocksOf(map), c.blocks) << c.what;
        EXPECT_EQ(map.first, c.first) << c.what;
        EXPECT_EQ(map.position, c.position) << c.what;
    }
    RescueMap map;
    EXPECT_FALSE(parseMap(ddrescue.data(), ddrescue.size(), 4096, map));  // 0xC800 is no 4096s
    EXPECT_TRUE(parseMap(ddrescue.data(), ddrescue.size(), 256, map));
    EXPECT_EQ(map.phase, READ);
}

}  // namespace
