#include <gtest/gtest.h>

#include "fake_platform.h"
#include "volume/drive_types.h"

namespace {

TEST(DriveTypes, LabelsAndTheEditableSet)
{
    struct Case {
        unsigned type;
        const char* label;
        bool editable;
    } cases[] = {
        {0, "????????", false},  {1, "--------", false}, {2, "Removable", true},
        {3, "Hard Disk", true},  {4, "Net Work", false}, {5, "CD-ROM", false},
        {6, "RAM Disk", true},   {7, "????????", false}, {0xFFFFFFFF, "????????", false},
    };
    for (const Case& c : cases) {
        EXPECT_STREQ(driveTypeLabel(c.type), c.label) << c.type;
        EXPECT_EQ(isEditableDriveType(c.type), c.editable) << c.type;
    }
}

class DriveTable : public ::testing::Test {
protected:
    void SetUp() override
    {
        installFakePlatform();
        // A: floppy, C: hard disk, D: CD-ROM, E: RAM disk, F: network, Z: unknown.
        fake.driveTypes[0] = 2, fake.driveTypes[2] = 3, fake.driveTypes[3] = 5;
        fake.driveTypes[4] = 6, fake.driveTypes[5] = 4;
        for (int d : {1, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24})
            fake.driveTypes[d] = 1;
        fake.driveTypes[25] = 0;
    }
};

TEST_F(DriveTable, RefreshRewritesEveryEntry)
{
    for (auto& flag : supportedDrives) flag = 1;
    refreshSupportedDrives();
    uint8_t expected[26] = {1, 0, 1, 0, 1};
    for (int d = 0; d < 26; d++) EXPECT_EQ(supportedDrives[d], expected[d]) << char('A' + d);
    EXPECT_TRUE(isSupportedDrive(0));
    EXPECT_FALSE(isSupportedDrive(3));
    EXPECT_FALSE(isSupportedDrive(-1));
    EXPECT_FALSE(isSupportedDrive(26));
    EXPECT_STREQ(driveTypeName(5), "Net Work");
    EXPECT_STREQ(driveTypeName(25), "????????");
    EXPECT_STREQ(driveTypeName(1), "--------");
}

TEST_F(DriveTable, ChoicesListSupportedDrivesAndPreselectTheEditorsDrive)
{
    DriveChoices choices = listDriveChoices(driveSource(4));
    ASSERT_EQ(choices.count, 3);
    EXPECT_STREQ(choices.entries[0], "A:");
    EXPECT_STREQ(choices.entries[1], "C:");
    EXPECT_STREQ(choices.entries[2], "E:");
    EXPECT_EQ(choices.selected, 2);
    EXPECT_EQ(listDriveChoices(NO_SOURCE).selected, -1);
    EXPECT_EQ(listDriveChoices(driveSource(3)).selected, -1);  // a CD-ROM is never listed

    fake.driveTypes[3] = 3;  // a drive attached since: seen at the next opening
    EXPECT_EQ(listDriveChoices(driveSource(3)).count, 4);
}

TEST(DriveChoice, EntryTextBackToTheSource)
{
    const struct {
        const char* entry;
        Source source;
    } rows[] = {
        {"C:", driveSource(2)},         {"a:", driveSource(0)},
        {"Z:", driveSource(25)},        {"", NO_SOURCE},
        {"1:", NO_SOURCE},              {"\xFF", NO_SOURCE},
        {"ﾃﾞｨｽｸ0  64 MB  512ﾊﾞｲﾄ", diskSource(0)},
        {"ﾃﾞｨｽｸ31  2 GB  4096ﾊﾞｲﾄ", diskSource(31)},
        {"ﾃﾞｨｽｸ32", NO_SOURCE},        {"ﾃﾞｨｽｸ", NO_SOURCE},
        {"ﾃﾞｨｽｸ999999999999", NO_SOURCE},
    };
    for (const auto& row : rows) EXPECT_TRUE(sourceFromChoice(row.entry) == row.source) << row.entry;
}

}  // namespace
