#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "editor_fixture.h"
#include "search/byte_search.h"
#include "search/find.h"

namespace {

TEST(FindPattern, HexWithOrWithoutSpacesTextAsTyped)
{
    installFakePlatform();  // its code page 932, for UTF-16
    const std::string longest(256, 'a');
    const FindKind hex = FindKind::Hex, text = FindKind::Text, utf16 = FindKind::Utf16;
    std::string longestUtf16;
    for (int i = 0; i < 128; i++) longestUtf16 += std::string("a\0", 2);
    struct Row {
        std::string text;
        FindKind kind;
        std::string bytes;  // empty: no pattern, OK stays grayed
    } rows[] = {
        {"EB 3C 90", hex, "\xEB\x3C\x90"},
        {" eb3c90 ", hex, "\xEB\x3C\x90"},
        {"00 00", hex, std::string(2, '\0')},
        {"", hex, ""},
        {"   ", hex, ""},
        {"EB3", hex, ""},    // half a byte
        {"E B3C", hex, ""},  // a space inside a byte
        {"EG", hex, ""},
        {"\x95\x5C", hex, ""},  // text is no hex
        {"\x95\x5C a", text, "\x95\x5C a"},
        {"", text, ""},
        {longest, text, longest},
        {longest + "a", text, ""},
        {"A表ｱ", utf16, std::string("A\0\x68\x88\x71\xFF", 6)},
        {std::string(128, 'a'), utf16, longestUtf16},
        {std::string(129, 'a'), utf16, ""},  // 258 bytes
        {"", utf16, ""},
        {"a\x82", utf16, ""},     // a lead byte alone
        {"\x85\x40", utf16, ""},  // no character of code page 932
    };
    std::string hexLongest, hexTooLong = "00";
    for (int i = 0; i < 256; i++) hexLongest += "7F";
    for (const Row& row : rows) {
        SearchPattern pattern;
        bool valid = parseFindPattern(row.text.c_str(), row.kind, false, pattern);
        std::string bytes(reinterpret_cast<char*>(pattern.bytes), valid ? pattern.length : 0);
        EXPECT_EQ(bytes, row.bytes) << row.text;
        EXPECT_FALSE(valid && pattern.folded) << row.text;
    }
    SearchPattern pattern;
    EXPECT_TRUE(parseFindPattern(hexLongest.c_str(), hex, false, pattern));
    EXPECT_FALSE(parseFindPattern((hexLongest + hexTooLong).c_str(), hex, false, pattern));
}

// Each byte's other case: the letters' in a text walked by characters, the
// low byte of a UTF-16 letter; hex, and a letter's value as the second byte
// of a double-byte character, keep their one value.
TEST(FindPattern, LettersOfEitherCase)
{
    installFakePlatform();  // its code page 932, for UTF-16
    struct Row {
        std::string text;
        FindKind kind;
        std::string bytes, otherCase;  // otherCase empty: nothing folded
    } rows[] = {
        {"Ab1z", FindKind::Text, "Ab1z", "aB1Z"},
        {"@[`{", FindKind::Text, "@[`{", ""},  // beside the letters
        {"ＡｚＢ", FindKind::Text, "\x82\x60\x82\x9A\x82\x61", "\x82\x81\x82\x79\x82\x82"},
        {"ア", FindKind::Text, "\x83\x41", ""},
        {"アa", FindKind::Text, "\x83\x41" "a", "\x83\x41" "A"},
        {"ｱa", FindKind::Text, "\xB1" "a", "\xB1" "A"},  // half-width: one byte
        {"\x82\x60", FindKind::Hex, "", ""},
        {"41 61", FindKind::Hex, "Aa", ""},
        {"Aｚ", FindKind::Utf16, std::string("A\0\x5A\xFF", 4), std::string("a\0\x3A\xFF", 4)},
        {"ｱ", FindKind::Utf16, "\x71\xFF", ""},   // U+FF71, beside the letters
        {"ア", FindKind::Utf16, "\xA2\x30", ""},  // U+30A2
    };
    for (const Row& row : rows) {
        SearchPattern pattern;
        bool valid = parseFindPattern(row.text.c_str(), row.kind, true, pattern);
        std::string bytes(reinterpret_cast<char*>(pattern.bytes), valid ? pattern.length : 0);
        EXPECT_EQ(bytes, row.bytes) << row.text;
        if (!valid) continue;
        EXPECT_EQ(pattern.folded, !row.otherCase.empty()) << row.text;
        if (pattern.folded) {
            EXPECT_EQ(std::string(reinterpret_cast<char*>(pattern.otherCase), pattern.length),
                      row.otherCase)
                << row.text;
        }
    }
}

// A 24 KiB drive of zeros holding `placed` at `at`, cut into chunks of
// `chunk` bytes from the search's start; with each copy of the block scan the
// processor runs. The offset found, or -1.
int64_t foundInChunks(const SearchPattern& pattern, const std::string& placed, size_t at,
                      uint32_t chunk, bool backward, uint64_t from)
{
    std::vector<uint8_t> drive(24 * 1024);
    std::copy(placed.begin(), placed.end(), drive.begin() + long(at));
    const BlockScan widest = blockScan;
    int64_t first = -2;
    for (BlockScan scan : {BlockScan::Plain, BlockScan::Avx2, BlockScan::Avx512}) {
        if (scan > widest) break;
        blockScan = scan;
        ChunkSearch search;
        beginChunkSearch(search, pattern, backward, from);
        int64_t result = -1;
        for (size_t done = 0; done < drive.size() && result < 0;) {
            uint32_t size = uint32_t(std::min<size_t>(chunk, drive.size() - done));
            size_t offset = backward ? drive.size() - done - size : done;
            uint64_t found = 0;
            if (searchChunk(search, &drive[offset], size, offset, found)) result = int64_t(found);
            done += size;
        }
        EXPECT_TRUE(first == -2 || first == result) << "block scan " << int(scan);
        first = result;
    }
    blockScan = widest;
    return first;
}

// Either case found where it lies across chunks, forwards and backwards, in
// the blocks the scan passes over and in the bytes kept between chunks.
TEST(FindPattern, EitherCaseAcrossChunks)
{
    installFakePlatform();  // its code page 932, for UTF-16
    const uint64_t END = 24 * 1024;
    struct Row {
        const char* typed;
        FindKind kind;
        bool ignoreCase;
        std::string placed;
        size_t at;
        uint32_t chunk;
        int64_t forward, backward;  // from the drive's start, and from its end; -1: none
    } rows[] = {
        {"find me", FindKind::Text, true, "Find ME", 4093, 4096, 4093, 4093},
        {"find me", FindKind::Text, true, "Find ME", 9000, 9003, 9000, 9000},
        {"find me", FindKind::Text, true, "Find ME", 9000, 7, 9000, 9000},
        {"find me", FindKind::Text, false, "Find ME", 9000, 4096, -1, -1},
        {"ＦＩＮＤ", FindKind::Text, true, "ｆｉＮｄ", 12287, 12288, 12287, 12287},
        {"ＦＩＮＤ", FindKind::Text, true, "FIND", 12287, 12288, -1, -1},
        {"ア", FindKind::Text, true, "\x83\x61", 5000, 5001, -1, -1},  // ヂ
        // Bytes, not characters: the second byte of ヂ is an a.
        {"A", FindKind::Text, true, "\x83\x61", 5000, 5001, 5001, 5001},
        {"Veldis", FindKind::Utf16, true, std::string("v\0E\0L\0d\0I\0S\0", 12), 20475, 20480,
         20475, 20475},
        {"ＶＥ", FindKind::Utf16, true, "\x56\xFF\x45\xFF", 4095, 4096, 4095, 4095},  // ｖＥ
        {"ＶＥ", FindKind::Utf16, true, std::string("V\0E\0", 4), 4095, 4096, -1, -1},
        {"Ve", FindKind::Utf16, false, std::string("Ve\0", 3), 100, 64, -1, -1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.typed + std::string(" at ") + std::to_string(row.at));
        SearchPattern pattern;
        ASSERT_TRUE(parseFindPattern(row.typed, row.kind, row.ignoreCase, pattern));
        EXPECT_EQ(foundInChunks(pattern, row.placed, row.at, row.chunk, false, 0), row.forward);
        EXPECT_EQ(foundInChunks(pattern, row.placed, row.at, row.chunk, true, END), row.backward);
        if (row.forward < 0) continue;
        // Not from the match's second byte on, nor before its first.
        EXPECT_EQ(foundInChunks(pattern, row.placed, row.at, row.chunk, false, row.forward + 1),
                  -1);
        EXPECT_EQ(foundInChunks(pattern, row.placed, row.at, row.chunk, true, row.forward), -1);
    }
}

using Find = EditorTest;

void ask(const char* text, FindKind kind, bool backward, bool ignoreCase = false)
{
    std::snprintf(findRequest.text, sizeof findRequest.text, "%s", text);
    findRequest.kind = kind;
    findRequest.ignoreCase = ignoreCase;
    findRequest.backward = backward;
    findRequest.asked = true;
}

// Four bytes across sectors 100 and 101: found in one held, unlocked read
// run, shown in the first sector with the caret on the first byte and the
// two bytes of that sector marked; 戻る goes back.
TEST_F(Find, AMatchAcrossSectorsIsShownWhereItStarts)
{
    writeBytes(floppy, 101 * 512 - 2, {0x5A, 0xA5, 0xC3, 0x3C});
    ASSERT_TRUE(loadSector(driveSource(DRIVE_A), 3));
    ask("5A A5 C3 3C", FindKind::Hex, false);
    runFind();
    EXPECT_EQ(editor.currentSector, 100u);
    EXPECT_EQ(editor.cursorLine * 16 + editor.cursorColumn, 510);
    EXPECT_EQ(editor.markStart, 510);
    EXPECT_EQ(editor.markLength, 2);
    EXPECT_EQ(editor.previousSector, 3u);
    ASSERT_EQ(ImageRoute::runs().size(), 1u);
    EXPECT_EQ(ImageRoute::runs()[0].op, SectorOp::Read);
    EXPECT_FALSE(ImageRoute::runs()[0].locked);
    onKeyDown(KEY_RIGHT);
    EXPECT_EQ(editor.markLength, 0);
}

// Edits kept (the discard question answered Cancel): nothing is read. A
// sector that cannot be read stops the search with its number; neither moves
// the editor.
TEST_F(Find, KeptEditsAndUnreadableSectorsLeaveTheEditorAsItWas)
{
    ASSERT_TRUE(loadSector(driveSource(DRIVE_A), 7));
    typeText("FF");
    size_t reads = ImageRoute::requests().size();
    fake.answers = {ANSWER_CANCEL};
    ask("DE AD BE EF", FindKind::Hex, false);
    runFind();
    EXPECT_EQ(ImageRoute::requests().size(), reads);
    EXPECT_NE(editor.modified, 0);

    syncBuffers(SyncMode::Revert);
    ImageRoute::failSector(DRIVE_A, SectorOp::Read, 5);
    ask("DE AD BE EF", FindKind::Hex, true);
    runFind();
    ASSERT_FALSE(fake.boxes.empty());
    EXPECT_EQ(fake.boxes.back().text, "セクタ 5 が読めないため、検索を中止しました。");
    EXPECT_EQ(editor.currentSector, 7u);
}

uint64_t caretByte()
{
    return editor.currentSector * 512 + uint64_t(editor.cursorLine * 16 + editor.cursorColumn);
}

// Either case, ASCII and full-width, found downwards and upwards and shown as
// a text's match is, the caret in the character column; F3 repeats the kind
// and the case.
TEST_F(Find, EitherCaseDownwardsAndUpwards)
{
    const uint64_t ascii = 100 * 512 + 20, fullWidth = 200 * 512 + 510;
    writeBytes(floppy, ascii, {'S', 'e', 'C', 't', 'O', 'r'});
    std::string wide = "ｓＥｃＴｏＲ";
    writeBytes(floppy, fullWidth, std::vector<uint8_t>(wide.begin(), wide.end()));
    ASSERT_TRUE(loadSector(driveSource(DRIVE_A), 3));
    ask("sector", FindKind::Text, false, true);
    runFind();
    EXPECT_EQ(caretByte(), ascii);
    EXPECT_TRUE(editor.cursorInText);
    EXPECT_EQ(editor.markLength, 6);
    ask("ＳｅＣｔＯｒ", FindKind::Text, false, true);
    runFind();
    EXPECT_EQ(caretByte(), fullWidth);
    EXPECT_EQ(editor.markLength, 2);  // the rest lies in the next sector

    ASSERT_TRUE(loadSector(driveSource(DRIVE_A), 2000));
    ask("SECTOR", FindKind::Text, true, true);
    runFind();
    EXPECT_EQ(caretByte(), ascii);
    ask("ｓｅｃｔｏｒ", FindKind::Text, true, true);
    ASSERT_TRUE(loadSector(driveSource(DRIVE_A), 2000));
    runFind();
    EXPECT_EQ(caretByte(), fullWidth);
    runFind();  // 次を検索: nothing earlier
    EXPECT_EQ(fake.boxes.back().text, "見つかりませんでした。");
    EXPECT_EQ(caretByte(), fullWidth);

    fake.boxes.clear();
    ask("SECTOR", FindKind::Text, true, false);
    runFind();
    ASSERT_EQ(fake.boxes.size(), 1u);
    EXPECT_EQ(fake.boxes.back().text, "見つかりませんでした。");
}

// A long file name as mcopy writes it: UTF-16, each directory entry holding
// 13 of its characters in runs of 5, 6 and 2. A text within a run is found
// where it lies, in either case if asked; one across runs is not.
TEST_F(Find, Utf16TextInALongFileNameWrittenByMcopy)
{
    std::string source = dir.path + "/hi.txt";
    std::ofstream(source) << "hi";
    ASSERT_TRUE(run("LC_ALL=C.UTF-8 MTOOLS_SKIP_CHECK=1 mcopy -i '" + floppy + "' '" + source +
                    "' '::" + std::string(u8"Veldis検索表示.txt") + "'"));
    std::ifstream in(floppy, std::ios::binary);
    std::string image((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // 検索表示 and VELDI as the entries hold them.
    const std::string kanji("\x1C\x69\x22\x7D\x68\x88\x3A\x79", 8);
    const std::string ascii("V\0e\0l\0d\0i\0", 10);
    uint64_t kanjiAt = image.find(kanji), asciiAt = image.find(ascii);
    ASSERT_NE(kanjiAt, std::string::npos);
    ASSERT_NE(asciiAt, std::string::npos);
    EXPECT_EQ(kanjiAt / 512, 19u);  // the root directory

    struct Row {
        const char* typed;
        bool ignoreCase;
        uint64_t at;  // 0: not found
        int32_t marked;
    } rows[] = {
        {"検索表示", false, kanjiAt, 8},
        {"Veldi", false, asciiAt, 10},
        {"VELDI", false, 0, 0},
        {"VELDI", true, asciiAt, 10},
        {"Veldis", true, 0, 0},  // s begins the next run
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.typed);
        ASSERT_TRUE(loadSector(driveSource(DRIVE_A), 0));
        fake.boxes.clear();
        ask(row.typed, FindKind::Utf16, false, row.ignoreCase);
        runFind();
        if (row.at == 0) {
            ASSERT_EQ(fake.boxes.size(), 1u);
            EXPECT_EQ(fake.boxes.back().text, "見つかりませんでした。");
            EXPECT_EQ(editor.currentSector, 0u);
            continue;
        }
        EXPECT_TRUE(fake.boxes.empty());
        EXPECT_EQ(caretByte(), row.at);
        EXPECT_EQ(editor.markLength, row.marked);
    }
}

// The text is no Shift-JIS: no pattern, and nothing is read.
TEST_F(Find, Utf16RefusesTextThatIsNoShiftJis)
{
    ASSERT_TRUE(loadSector(driveSource(DRIVE_A), 3));
    size_t reads = ImageRoute::requests().size();
    ask("ab\x82", FindKind::Utf16, false);
    runFind();
    EXPECT_EQ(ImageRoute::requests().size(), reads);
    EXPECT_EQ(editor.currentSector, 3u);
}

}  // namespace
