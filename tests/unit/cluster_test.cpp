#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "editor/cluster_jump.h"
#include "editor_fixture.h"
#include "volume/cluster.h"

namespace {

VolumeLayout layoutOf(uint32_t fatType, uint32_t total, uint32_t perCluster, uint32_t dataStart,
                      uint32_t dataSectors)
{
    VolumeLayout layout{};
    layout.fatType = fatType;
    layout.totalSectors = total;
    layout.sectorsPerCluster = perCluster;
    layout.dataStart = dataStart;
    layout.dataSectors = dataSectors;
    layout.fatCount = 2;
    return layout;
}

TEST(Clusters, FirstSectorsAndTheValidRange)
{
    const VolumeLayout fat16 = layoutOf(16, 819200, 4, 433, 818767);
    const VolumeLayout fat32 = layoutOf(32, 1000000, 8, 2032, 997960);
    VolumeLayout noFats = fat16;
    noFats.fatCount = 0;
    EXPECT_EQ(clusterFirstSector(fat16, 2), 433u);
    EXPECT_EQ(clusterFirstSector(fat16, 3), 437u);
    struct Case {
        const char* what;
        VolumeLayout layout;
        uint32_t cluster;
        bool valid;
    } cases[] = {
        {"FAT16 first", fat16, 2, true},          {"FAT16 last", fat16, 204692, true},
        {"FAT16 past", fat16, 204693, false},     {"FAT16 one", fat16, 1, false},
        {"FAT16 zero", fat16, 0, false},          {"FAT32 the last cluster", fat32, 124747, true},
        {"FAT32 past", fat32, 124748, false},     {"no layout", VolumeLayout{}, 2, false},
        {"no FATs", noFats, 2, false},
        // Damaged boot sectors: a data area past the volume's end, and one
        // whose third cluster would wrap round to sector 0x30.
        {"data past the end", layoutOf(16, 1000, 4, 5000, 818767), 2, false},
        {"wrapping", layoutOf(16, 0xFFFFFFFF, 64, 0xFFFFFFF0, 0xFFFFFFFF), 3, false},
    };
    for (const Case& c : cases) EXPECT_EQ(isClusterInVolume(c.layout, c.cluster), c.valid) << c.what;
}

TEST(Clusters, AnEntryGivesItsFirstCluster)
{
    uint8_t entry[32] = {};
    entry[26] = 0x34, entry[27] = 0x12;  // low word
    entry[20] = 0x02, entry[21] = 0x00;  // high word, a FAT32 one
    EXPECT_EQ(entryFirstCluster(entry, layoutOf(32, 1, 1, 1, 1)), 0x21234u);
    EXPECT_EQ(entryFirstCluster(entry, layoutOf(16, 1, 1, 1, 1)), 0x1234u);  // ignored on FAT16
}

// The figure in the line of fsck.fat's report that holds `key`.
unsigned fsckFigure(const std::string& image, const char* key, const char* format)
{
    std::string command = "fsck.fat -v -n '" + image + "' 2>/dev/null";
    std::FILE* pipe = popen(command.c_str(), "r");
    char line[256];
    unsigned figure = 0;
    while (std::fgets(line, sizeof line, pipe) != nullptr)
        if (std::strstr(line, key) != nullptr && std::sscanf(line, format, &figure) == 1) break;
    pclose(pipe);
    return figure;
}

// fsck.fat counts the data clusters of volumes mkfs.fat made; the last of
// them is reachable and the one after is not.
TEST(Clusters, TheLastClusterOfRealVolumes)
{
    TempDir dir;
    int made = 0;
    for (FatFormat format : {FatFormat{12, 512, 1440, 1, 1, 2, 224}, FatFormat{16, 512, 16384, 4, 1, 2, 512},
                             FatFormat{32, 512, 40960, 1, 32, 2, 0}, FatFormat{32, 4096, 262144, 1, 32, 2, 0}}) {
        std::string image = makeFatImage(dir, std::to_string(made++) + ".img", format);
        VolumeLayout layout = parseBootSector(readBytes(image, 0, 512).data(), false);
        unsigned clusters = fsckFigure(image, "data clusters", "%u");
        unsigned dataStart = fsckFigure(image, "Data area", "Data area starts at byte %*u (sector %u)");
        ASSERT_GT(clusters, 0u) << describe(format);
        uint32_t last = clusters + 1;
        EXPECT_TRUE(isClusterInVolume(layout, 2)) << describe(format);
        EXPECT_TRUE(isClusterInVolume(layout, last)) << describe(format);
        EXPECT_FALSE(isClusterInVolume(layout, last + 1)) << describe(format);
        EXPECT_EQ(clusterFirstSector(layout, last), dataStart + (last - 2) * format.sectorsPerCluster)
            << describe(format);
    }
}

// The entry under the cursor of a real root directory leads to the file's
// data, where mtools says it begins.
TEST_F(EditorTest, TheClusterUnderTheCursorIsTheFilesData)
{
    std::string volume = makeFatImage(dir, "c.img", {16, 512, 16384, 4, 1, 2, 512});
    std::vector<uint8_t> text(5000);
    for (size_t i = 0; i < text.size(); i++) text[i] = uint8_t('A' + i % 26);
    copyIntoImage(volume, "FIRST.TXT", std::vector<uint8_t>(3000, 'x'));
    copyIntoImage(volume, "DATA.BIN", text);
    attach(DRIVE_C, volume, 512, 3);
    EXPECT_FALSE(isClusterAcceptable(2));  // nothing shown yet

    ASSERT_TRUE(loadSector(driveSource(DRIVE_C), 0));
    ASSERT_TRUE(navigate(CMD_JUMP_DIR));
    int entry = 0;
    auto name = [](int at) {
        return std::string(reinterpret_cast<char*>(editor.workBuffer) + 32 * at, 11);
    };
    while (entry < 16 && name(entry) != "DATA    BIN") entry++;
    ASSERT_LT(entry, 16);
    std::string command = "MTOOLS_SKIP_CHECK=1 mshowfat -i '" + volume + "' ::DATA.BIN";
    std::FILE* pipe = popen(command.c_str(), "r");
    unsigned first = 0;
    ASSERT_EQ(std::fscanf(pipe, "%*[^<]<%u", &first), 1);
    pclose(pipe);

    for (int line : {2 * entry, 2 * entry + 1}) {
        editor.cursorLine = line;
        EXPECT_EQ(proposedCluster(), first) << line;
    }
    EXPECT_TRUE(isClusterAcceptable(first));
    jumpToCluster(first);
    EXPECT_EQ(editor.currentSector, editorLayout.dataStart + (first - 2) * 4);
    EXPECT_EQ(shownSector(), std::vector<uint8_t>(text.begin(), text.begin() + 512));
}

}  // namespace
