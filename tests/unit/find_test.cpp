#include <cstring>
#include <string>

#include "editor_fixture.h"
#include "search/find.h"

namespace {

TEST(FindPattern, HexWithOrWithoutSpacesTextAsTyped)
{
    const std::string longest(256, 'a');
    struct Row {
        std::string text;
        bool isText;
        std::string bytes;  // empty: no pattern, OK stays grayed
    } rows[] = {
        {"EB 3C 90", false, "\xEB\x3C\x90"},
        {" eb3c90 ", false, "\xEB\x3C\x90"},
        {"00 00", false, std::string(2, '\0')},
        {"", false, ""},
        {"   ", false, ""},
        {"EB3", false, ""},    // half a byte
        {"E B3C", false, ""},  // a space inside a byte
        {"EG", false, ""},
        {"\x95\x5C", false, ""},  // text is no hex
        {"\x95\x5C a", true, "\x95\x5C a"},
        {"", true, ""},
        {longest, true, longest},
        {longest + "a", true, ""},
    };
    std::string hexLongest, hexTooLong = "00";
    for (int i = 0; i < 256; i++) hexLongest += "7F";
    for (const Row& row : rows) {
        SearchPattern pattern;
        bool valid = parseFindPattern(row.text.c_str(), row.isText, pattern);
        std::string bytes(reinterpret_cast<char*>(pattern.bytes), valid ? pattern.length : 0);
        EXPECT_EQ(bytes, row.bytes) << row.text;
    }
    SearchPattern pattern;
    EXPECT_TRUE(parseFindPattern(hexLongest.c_str(), false, pattern));
    EXPECT_FALSE(parseFindPattern((hexLongest + hexTooLong).c_str(), false, pattern));
}

using Find = EditorTest;

void ask(const char* text, bool isText, bool backward)
{
    std::snprintf(findRequest.text, sizeof findRequest.text, "%s", text);
    findRequest.isText = isText;
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
    ask("5A A5 C3 3C", false, false);
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
    ask("DE AD BE EF", false, false);
    runFind();
    EXPECT_EQ(ImageRoute::requests().size(), reads);
    EXPECT_NE(editor.modified, 0);

    syncBuffers(SyncMode::Revert);
    ImageRoute::failSector(DRIVE_A, SectorOp::Read, 5);
    ask("DE AD BE EF", false, true);
    runFind();
    ASSERT_FALSE(fake.boxes.empty());
    EXPECT_EQ(fake.boxes.back().text, "セクタ 5 が読めないため、検索を中止しました。");
    EXPECT_EQ(editor.currentSector, 7u);
}

}  // namespace
