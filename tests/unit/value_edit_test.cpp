#include <string>
#include <vector>

#include "app/main_commands.h"
#include "editor/value_edit.h"
#include "editor_fixture.h"

namespace {

struct Boxes {
    std::string hex, decimal, binary;
    bool operator==(const Boxes& o) const
    {
        return hex == o.hex && decimal == o.decimal && binary == o.binary;
    }
};

std::ostream& operator<<(std::ostream& out, const Boxes& b)
{
    return out << b.hex << " / " << b.decimal << " / " << b.binary;
}

Boxes acceptedTexts()
{
    return {acceptedText(ValueBox::Hex), acceptedText(ValueBox::Decimal),
            acceptedText(ValueBox::Binary)};
}

TEST(ValueText, BinaryText)
{
    char text[33];
    for (auto [value, expected] : std::vector<std::pair<uint32_t, std::string>>{
             {0, "0"}, {1, "1"}, {0x41, "1000001"}, {0xFFFFFFFF, std::string(32, '1')},
             {0x80000000, "1" + std::string(31, '0')}}) {
        toBinaryText(value, text);
        EXPECT_EQ(text, expected);
    }
}

constexpr const char* THIRTY_TWO_ONES = "11111111111111111111111111111111";

// Each step types a whole box text; a refused one leaves value and texts.
TEST(ValueText, EachBoxTakesBackWhatBreaksItsRules)
{
    struct Step {
        ValueBox box;
        const char* typed;
        bool accepted;
        uint32_t value;
    };
    struct Case {
        const char* what;
        int width;
        uint32_t start;
        std::vector<Step> steps;
    } cases[] = {
        {"1FF in a byte's hex box", 1, 0x41, {{ValueBox::Hex, "1F", true, 0x1F}, {ValueBox::Hex, "1FF", false, 0x1F}}},
        {"lower-case hex", 1, 0, {{ValueBox::Hex, "ff", true, 255}}},
        {"a letter past F", 2, 7, {{ValueBox::Hex, "7G", false, 7}}},
        {"a byte's decimal limits", 1, 10, {{ValueBox::Decimal, "100", true, 100}, {ValueBox::Decimal, "256", false, 100},
                                            {ValueBox::Decimal, "0255", false, 100}, {ValueBox::Decimal, "255", true, 255}}},
        {"a word's decimal limits", 2, 0, {{ValueBox::Decimal, "65535", true, 65535}, {ValueBox::Decimal, "65536", false, 65535},
                                           {ValueBox::Decimal, "012345", false, 65535}}},
        {"signs and spaces", 4, 5, {{ValueBox::Decimal, "-5", false, 5}, {ValueBox::Decimal, " 5", false, 5}}},
        {"a cleared decimal box is 0", 2, 0x1234, {{ValueBox::Decimal, "", true, 0}, {ValueBox::Decimal, "0", true, 0},
                                                   {ValueBox::Decimal, "00", false, 0}}},
        {"a digit added past 32 bits", 4, 429496729, {{ValueBox::Decimal, "4294967296", false, 429496729}}},
        {"an overwritten digit past 32 bits", 4, 4294967295u, {{ValueBox::Decimal, "5294967295", false, 4294967295u},
                                                               {ValueBox::Decimal, "4294967294", true, 4294967294u}}},
        {"eleven digits", 4, 0, {{ValueBox::Decimal, "00000000001", false, 0}}},
        {"a ninth binary digit", 1, 0xFF, {{ValueBox::Binary, "111111111", false, 0xFF}, {ValueBox::Binary, "101", true, 5}}},
        {"a binary 2", 2, 1, {{ValueBox::Binary, "12", false, 1}}},
        {"a double word's 32 binary digits", 4, 0, {{ValueBox::Binary, THIRTY_TWO_ONES, true, 0xFFFFFFFF}}},
    };
    for (const Case& c : cases) {
        setEditedValue(c.width, c.start);
        for (const Step& step : c.steps) {
            Boxes before = acceptedTexts();
            EXPECT_EQ(acceptBoxText(step.box, step.typed), step.accepted) << c.what << ": " << step.typed;
            EXPECT_EQ(valueEdit.value, step.value) << c.what << ": " << step.typed;
            if (!step.accepted) {
                EXPECT_EQ(acceptedTexts(), before) << c.what;
            }
        }
    }
}

class ValueEditTest : public EditorTest {
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        ASSERT_TRUE(loadSector(driveSource(DRIVE_A), 0));
    }
    // Puts bytes at line 3, column `column` and opens the command there.
    void openAt(int column, const std::vector<uint8_t>& bytes, int command)
    {
        std::copy(bytes.begin(), bytes.end(), editor.workBuffer + 48 + column);
        syncBuffers(SyncMode::Accept);
        editor.cursorLine = 3;
        editor.cursorColumn = column;
        placeCaret(false);
        ASSERT_EQ(runCommand(command), WindowAction::ValueEditDialog);
        beginValueEdit();
    }
};

TEST_F(ValueEditTest, OpensOnTheBytesAtTheCursorLittleEndian)
{
    struct Case {
        int command;
        std::vector<uint8_t> bytes;
        Boxes shown;
    } cases[] = {
        {CMD_EDIT_BYTE, {0x41}, {"41", "65", "1000001"}},
        {CMD_EDIT_WORD, {0x34, 0x12}, {"1234", "4660", "1001000110100"}},
        {CMD_EDIT_DWORD, {0x78, 0x56, 0x34, 0x12}, {"12345678", "305419896", "10010001101000101011001111000"}},
    };
    for (const Case& c : cases) {
        openAt(12, c.bytes, c.command);
        EXPECT_EQ(acceptedTexts(), c.shown);
    }
}

TEST_F(ValueEditTest, OkStoresTheDecimalBoxLeastSignificantByteFirst)
{
    openAt(12, {0x34, 0x12, 0x99}, CMD_EDIT_WORD);
    storeEditedValue("43981");
    closeValueEdit();
    EXPECT_EQ(editor.workBuffer[60], 0xCD);
    EXPECT_EQ(editor.workBuffer[61], 0xAB);
    EXPECT_EQ(editor.workBuffer[62], 0x99);  // past the word: untouched
    EXPECT_NE(editor.modified, 0);
    EXPECT_TRUE(isCommandEnabled(CMD_SECTOR_WRITE));

    openAt(12, {1, 2, 3, 4}, CMD_EDIT_DWORD);  // an empty decimal box stores zeros
    storeEditedValue("");
    EXPECT_EQ(std::vector<uint8_t>(editor.workBuffer + 60, editor.workBuffer + 64),
              std::vector<uint8_t>(4, 0));
}

// Cancel stores nothing, yet the modified state, view and caret come anew.
TEST_F(ValueEditTest, CancelRecomputesTheModifiedStateAndTheCaret)
{
    openAt(0, {0x41}, CMD_EDIT_BYTE);
    editor.modified = 1;  // stale: the buffers agree
    int carets = fake.caretsCreated;
    closeValueEdit();
    EXPECT_EQ(editor.modified, 0);
    EXPECT_EQ(fake.caretsCreated, carets + 1);
    EXPECT_TRUE(shownSector() == std::vector<uint8_t>(editor.savedCopy, editor.savedCopy + 512));
}

// A word or double word at the cursor must lie inside the sector.
TEST_F(ValueEditTest, WiderCommandsAreGrayedNearTheSectorsEnd)
{
    struct Case {
        int line, column;
        bool word, dword;
    } cases[] = {{0, 12, true, true}, {31, 12, true, true}, {31, 13, true, false},
                 {31, 14, true, false}, {31, 15, false, false}, {30, 15, true, true}};
    for (const Case& c : cases) {
        editor.cursorLine = c.line;
        editor.cursorColumn = c.column;
        placeCaret(false);
        EXPECT_EQ(isCommandEnabled(CMD_EDIT_WORD), c.word) << c.line << "," << c.column;
        EXPECT_EQ(isCommandEnabled(CMD_EDIT_DWORD), c.dword) << c.line << "," << c.column;
        EXPECT_EQ(runCommand(CMD_EDIT_DWORD) == WindowAction::ValueEditDialog, c.dword);
    }
}

}  // namespace
