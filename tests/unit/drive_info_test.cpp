#include <cstdio>
#include <string>
#include <vector>

#include "driveinfo/drive_details.h"
#include "driveinfo/drive_list.h"
#include "editor_fixture.h"

namespace {

TEST(DriveInfo, ByteCountsRightAlignedInFifteen)
{
    struct Case {
        uint64_t value;
        const char* text;
    } cases[] = {
        {0, "              0"},          {99999999, "       99999999"},
        {100000000, "      100000000"}, {1457664, "        1457664"},
        {20003880960ull, "    20003880960"},
    };
    char text[DETAIL_TEXT_SIZE];
    for (const Case& c : cases) {
        formatByteCount(c.value, text);
        EXPECT_STREQ(text, c.text) << c.value;
    }
}

TEST(DriveInfo, FeatureTextsInTheirFixedOrder)
{
    struct Case {
        uint32_t flags;
        std::string text;
    } cases[] = {
        {0x2, "大文字小文字の違いを保存,"},
        {0x1, "大文字小文字区別,"},
        {0x4, "ユニコードサポート,"},
        {0x10, "ファイルベースの圧縮サポート,"},
        {0x8000, "圧縮ドライブ,"},
        {0x6, "大文字小文字の違いを保存,ユニコードサポート,"},
        {0x8017, "大文字小文字の違いを保存,大文字小文字区別,ユニコードサポート,"
                 "ファイルベースの圧縮サポート,圧縮ドライブ,"},
        {0, ""},
        {0x20, ""},  // a flag the list has no text for
    };
    char text[DRIVE_LIST_TEXT_SIZE];
    for (const Case& c : cases) {
        fileSystemFlagsText(c.flags, text);
        EXPECT_EQ(text, c.text) << c.flags;
    }
}

TEST(DriveInfo, TheFirstMenuItemMatchingAnyCandidateWins)
{
    struct Case {
        std::vector<const char*> menu;
        const MenuCandidates& candidates;
        int position;
    } cases[] = {
        {{"開く(&O)", "フォーマット(&A)...", "プロパティ(&R)"}, FORMAT_TEXTS, 1},
        {{"フォーマット(&M)...", "ﾌｫｰﾏｯﾄ(&M)..."}, FORMAT_TEXTS, 0},
        {{"", "ﾌｫｰﾏｯﾄ(&M)...", "フォーマット(&M)..."}, FORMAT_TEXTS, 1},
        {{"フォーマット(&M)", "フォーマット(&m)..."}, FORMAT_TEXTS, -1},  // dots and case count
        {{"ﾌﾟﾛﾊﾟﾃｨ(&R)"}, PROPERTIES_TEXTS, 0},
        {{"取り出し(&J)", "プロパティ(&R)"}, PROPERTIES_TEXTS, 1},
        {{"開く(&O)"}, EJECT_TEXTS, -1},
        {{}, EJECT_TEXTS, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(findMenuCandidate(c.menu.data(), int(c.menu.size()), c.candidates), c.position)
            << (c.menu.empty() ? "(empty)" : c.menu[0]);
}

std::string field(const DriveDetails& details, DetailField which)
{
    return details.fields[which];
}

std::string printed(const char* format, unsigned value)
{
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

class DriveDetailsTest : public EditorTest {
protected:
    uint32_t bootField(const std::string& image, uint32_t at, int size)
    {
        std::vector<uint8_t> bytes = readBytes(image, at, size);
        uint32_t value = 0;
        for (int k = size - 1; k >= 0; k--) value = value << 8 | bytes[k];
        return value;
    }
};

// Each field against figures worked out here from the boot sector itself.
TEST_F(DriveDetailsTest, FieldsOfRealFatVolumes)
{
    struct Case {
        FatFormat format;
        int fatBits;
    } cases[] = {
        {{12, 512, 1440, 1, 1, 2, 224}, 12},
        {{16, 512, 16384, 4, 4, 2, 512}, 16},
        {{32, 512, 40960, 1, 32, 2, 0}, 32},
    };
    int made = 0;
    for (const Case& c : cases) {
        std::string image = makeFatImage(dir, "v" + std::to_string(made++) + ".img", c.format);
        attach(DRIVE_C, image, 512, 3);
        fake.volumesByDrive['C'].label = "VELDIS";
        fake.volumesByDrive['C'].serialNumber = 0x1A2B3C4D;
        fake.volumesByDrive['C'].totalClusters = 1000;
        fake.volumesByDrive['C'].freeClusters = 300;
        fake.volumesByDrive['C'].sectorsPerCluster = 4;
        ASSERT_TRUE(loadSector(driveSource(DRIVE_C), 0)) << describe(c.format);
        DriveDetails details;
        readDriveDetails(details);

        uint32_t reserved = bootField(image, 14, 2), fats = bootField(image, 16, 1);
        uint32_t roots = bootField(image, 17, 2), spc = bootField(image, 13, 1);
        uint32_t total = bootField(image, 19, 2) ? bootField(image, 19, 2) : bootField(image, 32, 4);
        uint32_t fatSize = bootField(image, 22, 2) ? bootField(image, 22, 2) : bootField(image, 36, 4);
        uint32_t rootSectors = (roots * 32 + 511) / 512;
        uint32_t dataStart = reserved + fats * fatSize + rootSectors;
        // FAT32 counts one cluster of root directory out of its data area.
        bool fat32 = c.fatBits == 32;
        std::string what = describe(c.format);
        EXPECT_STREQ(details.title, "Ｃドライブ詳細情報") << what;
        EXPECT_EQ(field(details, DETAIL_TOTAL_BYTES), printed("%15u", 512 * 4 * 1000)) << what;
        EXPECT_EQ(field(details, DETAIL_FREE_BYTES), printed("%15u", 512 * 4 * 300)) << what;
        EXPECT_EQ(field(details, DETAIL_TOTAL_SECTORS), printed("%15u", total)) << what;
        EXPECT_EQ(field(details, DETAIL_CLUSTERS), printed("%15u", (total - dataStart) / spc)) << what;
        EXPECT_EQ(field(details, DETAIL_SECTORS_PER_CLUSTER), printed("%u", spc)) << what;
        EXPECT_EQ(field(details, DETAIL_BYTES_PER_SECTOR), "512") << what;
        EXPECT_EQ(field(details, DETAIL_DRIVE_TYPE), driveTypeName(DRIVE_C)) << what;
        EXPECT_EQ(field(details, DETAIL_FILE_SYSTEM), printed("FAT%u", unsigned(c.fatBits))) << what;
        EXPECT_EQ(field(details, DETAIL_IPL_SECTORS), printed("%15u", reserved)) << what;
        EXPECT_EQ(field(details, DETAIL_FAT_SECTORS), printed("%9u × ", fatSize) + std::to_string(fats)) << what;
        EXPECT_EQ(field(details, DETAIL_DIR_SECTORS), printed("%15u", fat32 ? spc : rootSectors)) << what;
        EXPECT_EQ(field(details, DETAIL_DATA_SECTORS), printed("%15u", total - dataStart - (fat32 ? spc : 0))) << what;
        EXPECT_EQ(field(details, DETAIL_VOLUME_NAME), "VELDIS") << what;
        EXPECT_EQ(field(details, DETAIL_SERIAL), "1A2B-3C4D") << what;
    }
}

// Read afresh: another drive queried last must not make this one NTFS, nor
// lend it its serial when this one cannot be read.
TEST_F(DriveDetailsTest, NtfsEmptyLayoutAndFailedQueries)
{
    ASSERT_TRUE(loadSector(driveSource(DRIVE_A), 0));
    volumeInfo.isNtfs = true;
    volumeInfo.serialNumber = 0xDEADBEEF;
    DriveDetails details;
    readDriveDetails(details);
    EXPECT_EQ(field(details, DETAIL_FILE_SYSTEM), "FAT12");

    fake.volumesByDrive['A'].fileSystem = "NTFS";
    readDriveDetails(details);
    for (DetailField empty : {DETAIL_TOTAL_BYTES, DETAIL_FREE_BYTES, DETAIL_CLUSTERS, DETAIL_IPL_SECTORS,
                              DETAIL_FAT_SECTORS, DETAIL_DIR_SECTORS, DETAIL_DATA_SECTORS})
        EXPECT_EQ(field(details, empty), "") << empty;
    EXPECT_EQ(field(details, DETAIL_FILE_SYSTEM), "NTFS");

    fake.volumesByDrive['A'].present = false;
    editorLayout.sectorsPerCluster = 0;
    readDriveDetails(details);
    EXPECT_EQ(field(details, DETAIL_VOLUME_NAME), "");
    EXPECT_EQ(field(details, DETAIL_SERIAL), "");
    EXPECT_EQ(field(details, DETAIL_CLUSTERS), "");
    EXPECT_EQ(field(details, DETAIL_SECTORS_PER_CLUSTER), "0");
}

// Past 4 GiB without the extended query: the product is not cut to 32 bits.
TEST_F(DriveDetailsTest, CapacityWithoutTheExtendedQuery)
{
    ASSERT_TRUE(loadSector(driveSource(DRIVE_A), 0));
    editorSpace = DriveSpace{};
    editorSpace.bytesPerSector = 512;
    editorSpace.sectorsPerCluster = 64;
    editorSpace.totalClusters = 600000;  // 19660800000 bytes
    editorSpace.freeClusters = 1;
    DriveDetails details;
    readDriveDetails(details);
    EXPECT_EQ(field(details, DETAIL_TOTAL_BYTES), "    19660800000");
    EXPECT_EQ(field(details, DETAIL_FREE_BYTES), "          32768");
    editorSpace.totalBytes = 20003880960ull;  // the extended figure wins where there is one
    readDriveDetails(details);
    EXPECT_EQ(field(details, DETAIL_TOTAL_BYTES), "    20003880960");

    // A raw volume: the device's size, past 4 GiB too, and no cluster figures.
    volumeInfo.isRaw = true;
    editorLayout = VolumeLayout{};
    editorLayout.bytesPerSector = 512;
    editorLayout.totalSectors = 10000000;
    readDriveDetails(details);
    EXPECT_EQ(field(details, DETAIL_TOTAL_BYTES), "     5120000000");
    for (DetailField empty : {DETAIL_FREE_BYTES, DETAIL_CLUSTERS, DETAIL_SECTORS_PER_CLUSTER})
        EXPECT_EQ(field(details, empty), "") << empty;
    EXPECT_TRUE(volumeInfo.isRaw);  // the label read afresh leaves the volume raw
}

class DriveListTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        installFakePlatform();
        fake.volume.present = false;
        const unsigned types[] = {2, 0, 5, 3, 4, 6, 1, 3};  // A: to H:
        for (int drive = 0; drive < 8; drive++) fake.driveTypes[drive] = types[drive];
        addVolume('D', "SYSTEM", 0x12345678, "NTFS", 0x8017);
        addVolume('E', "ネット", 0x0000ABCD, "FAT32", 0x6);
        addVolume('F', "RAM", 0xFFFF0001, "FAT", 0);
        addVolume('H', "DATA", 0x00010002, "FAT", 0x2);
    }
    void addVolume(char letter, const char* label, uint32_t serial, const char* system, uint32_t flags)
    {
        FakeVolume& volume = fake.volumesByDrive[letter];
        volume.label = label;
        volume.serialNumber = serial;
        volume.fileSystem = system;
        volume.fileSystemFlags = flags;
    }
    // The rows' first column after sorting by `column`, as the list would.
    std::string sortedBy(int column)
    {
        std::vector<int> order;
        for (int k = 0; k < driveRows.count; k++) order.push_back(k);
        std::stable_sort(order.begin(), order.end(),
                         [&](int a, int b) { return compareDriveRows(a, b, column) < 0; });
        std::string letters;
        for (int k : order) letters += driveRows.rows[k].texts[0][0];
        return letters;
    }
};

TEST_F(DriveListTest, ARowPerListedDriveType)
{
    buildDriveRows();
    std::string letters;
    std::vector<int> images;
    for (int k = 0; k < driveRows.count; k++) {
        letters += driveRows.rows[k].texts[0];
        images.push_back(driveRows.rows[k].image);
    }
    EXPECT_EQ(letters, "A:\\C:\\D:\\E:\\F:\\H:\\");  // B: unknown, G: no root
    EXPECT_EQ(images, (std::vector<int>{0, 3, 1, 2, 4, 1}));
    const DriveRow& empty = driveRows.rows[1];  // C:, a CD-ROM drive without a disc
    EXPECT_FALSE(empty.hasVolume);
    EXPECT_STREQ(empty.texts[1], "");
    const DriveRow& system = driveRows.rows[2];
    std::vector<std::string> texts(system.texts + 1, system.texts + DRIVE_LIST_COLUMNS);
    EXPECT_EQ(texts, (std::vector<std::string>{"SYSTEM", "1234-5678", "NTFS", "  255",
                                               "大文字小文字の違いを保存,大文字小文字区別,ユニコードサポート,"
                                               "ファイルベースの圧縮サポート,圧縮ドライブ,"}));
}

// Each column keeps its own order: ascending first, then each click turns it.
TEST_F(DriveListTest, SortingByColumnsBothWays)
{
    buildDriveRows();
    clickDriveColumn(1);
    EXPECT_EQ(sortedBy(1), "ACHFDE");  // empty labels first; ネット's Shift-JIS bytes last
    clickDriveColumn(1);
    EXPECT_EQ(sortedBy(1), "EDFHAC");
    clickDriveColumn(2);
    EXPECT_EQ(sortedBy(2), "ACEHDF");
    EXPECT_EQ(columnSortOrder[1], 2);
    EXPECT_EQ(columnSortOrder[2], 1);
    clickDriveColumn(1);
    EXPECT_EQ(sortedBy(1), "ACHFDE");
    buildDriveRows();  // opening again forgets the orders
    for (int order : columnSortOrder) EXPECT_EQ(order, 0);
}

}  // namespace
