#include <cstring>
#include <string>
#include <vector>

#include "app/main_commands.h"
#include "editor/data_inspector.h"
#include "editor_fixture.h"

namespace {

std::vector<std::string> inspect(const std::vector<uint8_t>& bytes, uint32_t available)
{
    InspectorRows rows;
    std::memset(&rows, 'Z', sizeof rows);
    inspectBytes(bytes.data(), available, rows);
    return std::vector<std::string>(rows.values, rows.values + INSPECTOR_ROW_COUNT);
}

std::vector<std::string> inspect(const std::vector<uint8_t>& bytes)
{
    return inspect(bytes, uint32_t(bytes.size()));
}

std::vector<uint8_t> littleEndian(uint64_t value, int width)
{
    std::vector<uint8_t> bytes;
    for (int k = 0; k < width; k++) bytes.push_back(uint8_t(value >> (8 * k)));
    return bytes;
}

enum Row {
    U8, S8, U16LE, S16LE, U16BE, S16BE, U32LE, S32LE, U32BE, S32BE,
    U64LE, S64LE, U64BE, S64BE, HEX8, HEX16LE, HEX16BE, HEX32LE, HEX32BE, HEX64LE, HEX64BE,
    DOS_TIME, FILE_TIME, UNIX32, UNIX64,
};

TEST(DataInspector, RowNamesInOrder)
{
    std::vector<std::string> names;
    for (int row = 0; row < INSPECTOR_ROW_COUNT; row++) names.push_back(inspectorRowName(row));
    EXPECT_EQ(names, (std::vector<std::string>{
                         "8ﾋﾞｯﾄ 符号なし",     "8ﾋﾞｯﾄ 符号付き",     "16ﾋﾞｯﾄ 符号なし LE",
                         "16ﾋﾞｯﾄ 符号付き LE", "16ﾋﾞｯﾄ 符号なし BE", "16ﾋﾞｯﾄ 符号付き BE",
                         "32ﾋﾞｯﾄ 符号なし LE", "32ﾋﾞｯﾄ 符号付き LE", "32ﾋﾞｯﾄ 符号なし BE",
                         "32ﾋﾞｯﾄ 符号付き BE", "64ﾋﾞｯﾄ 符号なし LE", "64ﾋﾞｯﾄ 符号付き LE",
                         "64ﾋﾞｯﾄ 符号なし BE", "64ﾋﾞｯﾄ 符号付き BE", "8ﾋﾞｯﾄ 16進",
                         "16ﾋﾞｯﾄ 16進 LE",     "16ﾋﾞｯﾄ 16進 BE",     "32ﾋﾞｯﾄ 16進 LE",
                         "32ﾋﾞｯﾄ 16進 BE",     "64ﾋﾞｯﾄ 16進 LE",     "64ﾋﾞｯﾄ 16進 BE",
                         "DOS 日付時刻",        "FILETIME",           "UNIX 時刻 32ﾋﾞｯﾄ",
                         "UNIX 時刻 64ﾋﾞｯﾄ"}));
    EXPECT_STREQ(INSPECTOR_HEADERS[0], "種類");
    EXPECT_STREQ(INSPECTOR_HEADERS[1], "値");
}

TEST(DataInspector, NumbersOfEachWidthAndOrder)
{
    struct Case {
        std::vector<uint8_t> bytes;
        std::vector<std::string> numbers;  // U8 .. HEX64BE
    } cases[] = {
        {{0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF},
         {"1", "1", "8961", "8961", "291", "291", "1732584193", "1732584193", "19088743",
          "19088743", "17279655951921914625", "-1167088121787636991", "81985529216486895",
          "81985529216486895", "01h", "2301h", "0123h", "67452301h", "01234567h",
          "EFCDAB8967452301h", "0123456789ABCDEFh"}},
        {{0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x80},
         {"255", "-1", "65279", "-257", "65534", "-2", "4294967039", "-257", "4294901759",
          "-65537", "9295429630892703487", "-9151314442816848129", "18446462598732840832",
          "-281474976710784", "FFh", "FEFFh", "FFFEh", "FFFFFEFFh", "FFFEFFFFh",
          "80FFFFFFFFFFFEFFh", "FFFEFFFFFFFFFF80h"}},
        {{0x80, 0x00, 0x00, 0x80, 0x00, 0x00, 0x00, 0x80},
         {"128", "-128", "128", "128", "32768", "-32768", "2147483776", "-2147483520", "2147483776",
          "-2147483520", "9223372039002259584", "-9223372034707292032", "9223372586610589824",
          "-9223371487098961792", "80h", "0080h", "8000h", "80000080h", "80000080h",
          "8000000080000080h", "8000008000000080h"}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> rows = inspect(c.bytes);
        EXPECT_EQ(std::vector<std::string>(rows.begin(), rows.begin() + HEX64BE + 1), c.numbers)
            << int(c.bytes[0]);
    }
}

// A directory entry's time at 0x16 and date at 0x18: a field out of range
// shows as ??, never as another date.
TEST(DataInspector, DosDateAndTime)
{
    auto dos = [](unsigned year, unsigned month, unsigned day, unsigned hour, unsigned minute,
                  unsigned twoSeconds) {
        uint32_t time = hour << 11 | minute << 5 | twoSeconds;
        uint32_t date = (year - 1980) << 9 | month << 5 | day;
        return littleEndian(time | date << 16, 4);
    };
    struct Case {
        std::vector<uint8_t> bytes;
        const char* shown;
    } cases[] = {
        {{0xAF, 0x6D, 0xB1, 0x58}, "2024/05/17 13:45:30"},
        {dos(1980, 1, 1, 0, 0, 0), "1980/01/01 00:00:00"},
        {dos(2107, 12, 31, 23, 59, 29), "2107/12/31 23:59:58"},
        {dos(2024, 2, 29, 12, 0, 0), "2024/02/29 12:00:00"},
        {dos(2000, 2, 29, 12, 0, 0), "2000/02/29 12:00:00"},
        {dos(2100, 2, 29, 12, 0, 0), "2100/02/\?\? 12:00:00"},
        {dos(2023, 2, 29, 12, 0, 0), "2023/02/\?\? 12:00:00"},
        {dos(2023, 4, 31, 12, 0, 0), "2023/04/\?\? 12:00:00"},
        {dos(2023, 13, 5, 12, 0, 0), "2023/\?\?/05 12:00:00"},
        {dos(2023, 0, 31, 12, 0, 0), "2023/\?\?/31 12:00:00"},
        {dos(2023, 1, 0, 24, 60, 30), "2023/01/\?\? \?\?:\?\?:\?\?"},
        {{0, 0, 0, 0}, "1980/\?\?/\?\? 00:00:00"},
        {{0xFF, 0xFF, 0xFF, 0xFF}, "2107/\?\?/31 \?\?:\?\?:\?\?"},
    };
    for (const Case& c : cases) EXPECT_EQ(inspect(c.bytes)[DOS_TIME], c.shown) << c.shown;
}

TEST(DataInspector, FileTimeAndUnixTimeInUtc)
{
    const uint64_t TICKS = 10000000;
    const uint64_t UNIX_EPOCH = 11644473600 * TICKS;
    struct Case {
        uint64_t fileTime;
        const char* shown;
    } fileTimes[] = {
        {0x01DAA8607B628F87, "2024/05/17 13:45:30.1234567 UTC"},
        {0, "1601/01/01 00:00:00.0000000 UTC"},
        {UNIX_EPOCH, "1970/01/01 00:00:00.0000000 UTC"},
        {UNIX_EPOCH - 1, "1969/12/31 23:59:59.9999999 UTC"},
        {UNIX_EPOCH + 951782400 * TICKS, "2000/02/29 00:00:00.0000000 UTC"},
        {UNIX_EPOCH + (951782400 + 86400) * TICKS, "2000/03/01 00:00:00.0000000 UTC"},
        {UNIX_EPOCH + 253402300799 * TICKS + 9999999, "9999/12/31 23:59:59.9999999 UTC"},
        {UNIX_EPOCH + 253402300800 * TICKS, "範囲外"},
        {UINT64_MAX, "範囲外"},
    };
    for (const Case& c : fileTimes)
        EXPECT_EQ(inspect(littleEndian(c.fileTime, 8))[FILE_TIME], c.shown) << c.shown;

    struct UnixCase {
        int64_t seconds;
        const char* shown32;  // null: the same seconds do not fit 32 bits
        const char* shown64;
    } unixTimes[] = {
        {1715953530, "2024/05/17 13:45:30 UTC", "2024/05/17 13:45:30 UTC"},
        {0, "1970/01/01 00:00:00 UTC", "1970/01/01 00:00:00 UTC"},
        {-1, "1969/12/31 23:59:59 UTC", "1969/12/31 23:59:59 UTC"},
        {INT32_MIN, "1901/12/13 20:45:52 UTC", "1901/12/13 20:45:52 UTC"},
        {INT32_MAX, "2038/01/19 03:14:07 UTC", "2038/01/19 03:14:07 UTC"},
        {951782399, "2000/02/28 23:59:59 UTC", "2000/02/28 23:59:59 UTC"},
        {4107542400, nullptr, "2100/03/01 00:00:00 UTC"},
        {253402300799, nullptr, "9999/12/31 23:59:59 UTC"},
        {253402300800, nullptr, "範囲外"},
        {-62135596800, nullptr, "0001/01/01 00:00:00 UTC"},
        {-62135596801, nullptr, "範囲外"},
        {INT64_MIN, nullptr, "範囲外"},
        {INT64_MAX, nullptr, "範囲外"},
    };
    for (const UnixCase& c : unixTimes) {
        std::vector<std::string> rows = inspect(littleEndian(uint64_t(c.seconds), 8));
        if (c.shown32 != nullptr) {
            EXPECT_EQ(rows[UNIX32], c.shown32) << c.seconds;
        }
        EXPECT_EQ(rows[UNIX64], c.shown64) << c.seconds;
    }
}

// Each value needs its bytes before the sector's end; its row stays, empty.
TEST(DataInspector, ValuesPastTheSectorsEndAreLeftEmpty)
{
    std::vector<uint8_t> bytes = {0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF};
    const int WIDTHS[INSPECTOR_ROW_COUNT] = {1, 1, 2, 2, 2, 2, 4, 4, 4, 4, 8, 8, 8,
                                            8, 1, 2, 2, 4, 4, 8, 8, 4, 8, 4, 8};
    for (uint32_t available = 0; available <= 8; available++) {
        std::vector<std::string> rows = inspect(bytes, available);
        ASSERT_EQ(rows.size(), size_t(INSPECTOR_ROW_COUNT));
        for (int row = 0; row < INSPECTOR_ROW_COUNT; row++)
            EXPECT_EQ(rows[row].empty(), uint32_t(WIDTHS[row]) > available)
                << inspectorRowName(row) << " with " << available;
    }
}

// Over the floppy: the rows follow the caret and the edits, the command
// shows and hides the window.
class Inspector : public EditorTest {
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        writeBytes(floppy, 40 * 512 + 0x1F8, {0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF});
        ASSERT_TRUE(loadSector(driveSource(DRIVE_A), 40));
    }
    void caretOn(int offset)
    {
        editor.cursorLine = offset / 16;
        editor.cursorColumn = offset % 16;
        placeCaret(false);
    }
};

TEST_F(Inspector, TheCommandShowsTheCaretsValuesAndHidesThem)
{
    EXPECT_FALSE(isCommandChecked(CMD_DATA_INSPECTOR));
    caretOn(0x1F8);
    EXPECT_EQ(fake.inspectorShows, 0);  // off: nothing handed over
    runCommand(CMD_DATA_INSPECTOR);
    EXPECT_EQ(settings.inspectorView, 1);
    EXPECT_TRUE(isCommandChecked(CMD_DATA_INSPECTOR));
    EXPECT_TRUE(fake.inspectorShown);
    EXPECT_STREQ(inspectorRows.values[HEX64BE], "0123456789ABCDEFh");

    runCommand(CMD_DATA_INSPECTOR);
    EXPECT_EQ(settings.inspectorView, 0);
    EXPECT_FALSE(isCommandChecked(CMD_DATA_INSPECTOR));
    EXPECT_FALSE(fake.inspectorShown);
}

TEST_F(Inspector, TheRowsFollowTheCaretAndTheEdits)
{
    runCommand(CMD_DATA_INSPECTOR);
    struct Case {
        int offset;
        const char* hex8;
        const char* hex16;  // little-endian; empty past the end
        const char* hex64;
    } cases[] = {
        {0x1F8, "01h", "2301h", "EFCDAB8967452301h"},
        {0x1FC, "89h", "AB89h", ""},
        {0x1FF, "EFh", "", ""},
        {0x1F0, "00h", "0000h", "0000000000000000h"},
    };
    for (const Case& c : cases) {
        int shows = fake.inspectorShows;
        caretOn(c.offset);
        EXPECT_GT(fake.inspectorShows, shows) << c.offset;
        EXPECT_STREQ(inspectorRows.values[HEX8], c.hex8) << c.offset;
        EXPECT_STREQ(inspectorRows.values[HEX16LE], c.hex16) << c.offset;
        EXPECT_STREQ(inspectorRows.values[HEX64LE], c.hex64) << c.offset;
    }

    // Typed digits, and their undo, as the dump shows them.
    caretOn(0x1F8);
    editor.cursorInText = 0;
    editor.cursorNibble = 0;
    typeText("F");
    caretOn(0x1F8);
    EXPECT_STREQ(inspectorRows.values[HEX8], "F1h");
    EXPECT_STREQ(inspectorRows.values[S8], "-15");
    runCommand(CMD_UNDO);
    EXPECT_STREQ(inspectorRows.values[HEX8], "01h");
}

TEST_F(Inspector, TheSessionRestoresTheCheckAndEmptyRowsBeforeASector)
{
    settings.inspectorView = 1;
    restoreSessionCommands();
    EXPECT_TRUE(isCommandChecked(CMD_DATA_INSPECTOR));
    resetEditor();
    showInspector();
    EXPECT_TRUE(fake.inspectorShown);
    for (int row = 0; row < INSPECTOR_ROW_COUNT; row++)
        EXPECT_STREQ(inspectorRows.values[row], "") << inspectorRowName(row);
}

}  // namespace
