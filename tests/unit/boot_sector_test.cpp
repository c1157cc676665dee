#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "fat_image.h"
#include "volume/boot_sector.h"

namespace {

struct Bpb {
    uint16_t bytesPerSector = 512;
    uint8_t sectorsPerCluster = 1;
    uint16_t reserved = 1;
    uint8_t fats = 2;
    uint16_t rootEntries = 0;
    uint16_t total16 = 0;
    uint16_t fat16 = 0;
    uint32_t total32 = 0;
    uint32_t fat32 = 0;
    uint32_t ntfsTotal = 0;
    uint32_t rootCluster = 0;
};

void put16(std::vector<uint8_t>& s, size_t at, uint32_t v)
{
    s[at] = uint8_t(v);
    s[at + 1] = uint8_t(v >> 8);
}

void put32(std::vector<uint8_t>& s, size_t at, uint32_t v)
{
    put16(s, at, v);
    put16(s, at + 2, v >> 16);
}

void putText(std::vector<uint8_t>& s, size_t at, const char* text)
{
    std::memcpy(s.data() + at, text, std::strlen(text));
}

std::vector<uint8_t> bootSector(const Bpb& b)
{
    std::vector<uint8_t> s(512, 0);
    put16(s, 11, b.bytesPerSector);
    s[13] = b.sectorsPerCluster;
    put16(s, 14, b.reserved);
    s[16] = b.fats;
    put16(s, 17, b.rootEntries);
    put16(s, 19, b.total16);
    put16(s, 22, b.fat16);
    put32(s, 32, b.total32);
    put32(s, 36, b.fat32);
    put32(s, 40, b.ntfsTotal);
    put32(s, 44, b.rootCluster);
    return s;
}

TEST(BootSector, Fat16HardDiskAreas)
{
    auto s = bootSector({.sectorsPerCluster = 4, .rootEntries = 512, .fat16 = 200,
                         .total32 = 819200});
    putText(s, 54, "FAT16   ");
    VolumeLayout l = parseBootSector(s.data(), false);
    EXPECT_EQ(l.fatType, 16u);
    EXPECT_EQ(l.rootDirSectors, 32u);
    EXPECT_EQ(l.dirStart, 401u);
    EXPECT_EQ(l.dataStart, 433u);
    EXPECT_EQ(l.dataSectors, 818767u);
    EXPECT_EQ(l.totalSectors - 1, 819199u);
}

TEST(BootSector, Fat12FloppyAreas)
{
    auto s = bootSector({.rootEntries = 224, .total16 = 2880, .fat16 = 9});
    VolumeLayout l = parseBootSector(s.data(), false);
    EXPECT_EQ(l.fatType, 12u);
    EXPECT_EQ(l.reservedSectors, 1u);
    EXPECT_EQ(l.dirStart, 19u);
    EXPECT_EQ(l.rootDirSectors, 14u);
    EXPECT_EQ(l.dataStart, 33u);
    EXPECT_EQ(l.dataSectors, 2847u);
}

TEST(BootSector, Fat32RootDirectoryIsACluster)
{
    auto s = bootSector({.sectorsPerCluster = 8, .reserved = 32, .total32 = 1000000,
                         .fat32 = 1000, .rootCluster = 2});
    VolumeLayout l = parseBootSector(s.data(), false);
    EXPECT_EQ(l.fatType, 32u);
    EXPECT_EQ(l.sectorsPerFat, 1000u);
    EXPECT_EQ(l.dataStart, 2032u);
    EXPECT_EQ(l.dirStart, 2032u);
    EXPECT_EQ(l.rootDirSectors, 8u);
    EXPECT_EQ(l.dataSectors, 997960u);

    put32(s, 44, 5);  // a root directory further into the data area
    EXPECT_EQ(parseBootSector(s.data(), false).dirStart, 2032u + 3 * 8);
}

// Entries that fill part of a sector take all of it, as the format counts them.
TEST(BootSector, RootDirectorySectorsRoundUp)
{
    for (auto [entries, sectors] : {std::pair{100u, 7u}, {500u, 32u}, {512u, 32u}, {16u, 1u}}) {
        auto s = bootSector({.rootEntries = uint16_t(entries), .total16 = 2880, .fat16 = 9});
        VolumeLayout l = parseBootSector(s.data(), false);
        EXPECT_EQ(l.rootDirSectors, sectors) << entries;
        EXPECT_EQ(l.dataStart, 19 + sectors) << entries;
    }
}

// Only the type text where the layout keeps it counts, and only on a FAT12/16
// layout; without it the cluster count decides. A label or an OEM name of
// "FAT32" or "FAT16" says nothing.
TEST(BootSector, TheTypeComesFromTheLayoutAndItsTypeText)
{
    struct Case {
        const char* what;
        Bpb bpb;
        size_t at;
        const char* text;
        uint32_t type;
    } cases[] = {
        {"floppy, no text", {.rootEntries = 224, .total16 = 2880, .fat16 = 9}, 0, "", 12},
        {"floppy says FAT16", {.rootEntries = 224, .total16 = 2880, .fat16 = 9}, 54, "FAT16   ", 16},
        {"14,970 clusters, no text",
         {.sectorsPerCluster = 4, .rootEntries = 512, .total16 = 60000, .fat16 = 60}, 0, "", 16},
        {"4,084 clusters", {.rootEntries = 512, .total16 = 4084 + 57, .fat16 = 12}, 0, "", 12},
        {"4,085 clusters", {.rootEntries = 512, .total16 = 4085 + 57, .fat16 = 12}, 0, "", 16},
        {"FAT32 in the OEM name",
         {.rootEntries = 224, .total16 = 2880, .fat16 = 9}, 3, "FAT32OEM", 12},
        {"FAT32 as the label",
         {.rootEntries = 224, .total16 = 2880, .fat16 = 9}, 43, "FAT32      ", 12},
        {"FAT32 at the type text of FAT16",
         {.rootEntries = 224, .total16 = 2880, .fat16 = 9}, 54, "FAT32   ", 12},
        {"a bare FAT", {.rootEntries = 224, .total16 = 2880, .fat16 = 9}, 54, "FAT 6   ", 12},
        {"FAT32 labelled FAT16",
         {.sectorsPerCluster = 8, .reserved = 32, .total32 = 1000000, .fat32 = 1000,
          .rootCluster = 2},
         71, "FAT16      ", 32},
        {"FAT32 with FAT16 where FAT12/16 keep it",
         {.sectorsPerCluster = 8, .reserved = 32, .total32 = 1000000, .fat32 = 1000,
          .rootCluster = 2},
         54, "FAT16   ", 32},
    };
    for (const Case& c : cases) {
        auto s = bootSector(c.bpb);
        putText(s, c.at, c.text);
        VolumeLayout l = parseBootSector(s.data(), false);
        EXPECT_EQ(l.fatType, c.type) << c.what;
        EXPECT_TRUE(l.areasInOrder) << c.what;
    }
}

// Areas that wrap or overlap in 32 bits are no places of the volume.
TEST(BootSector, AreasOutOfOrderAreNotKept)
{
    struct Case {
        const char* what;
        Bpb bpb;
        bool inOrder;
    } cases[] = {
        {"FAT32, root cluster 2",
         {.sectorsPerCluster = 8, .reserved = 32, .total32 = 1000000, .fat32 = 1000,
          .rootCluster = 2},
         true},
        {"FAT32, root cluster 0 (in the second FAT)",
         {.sectorsPerCluster = 8, .reserved = 32, .total32 = 1000000, .fat32 = 1000}, false},
        {"FAT32, root cluster 1",
         {.sectorsPerCluster = 8, .reserved = 32, .total32 = 1000000, .fat32 = 1000,
          .rootCluster = 1},
         false},
        {"FAT32, FATs wrapping the data start to sector 32",
         {.sectorsPerCluster = 8, .reserved = 32, .total32 = 1000000, .fat32 = 0x80000000u,
          .rootCluster = 2},
         false},
        {"FAT32, root cluster's last sector past the end",
         {.sectorsPerCluster = 8, .reserved = 32, .total32 = 2039, .fat32 = 1000,
          .rootCluster = 2},
         false},
        {"FAT32, root cluster ending at the end",
         {.sectorsPerCluster = 8, .reserved = 32, .total32 = 2040, .fat32 = 1000,
          .rootCluster = 2},
         true},
        {"FAT12, data area empty", {.rootEntries = 224, .total16 = 33, .fat16 = 9}, false},
        {"FAT12, one data sector", {.rootEntries = 224, .total16 = 34, .fat16 = 9}, true},
        {"FAT16, FATs past the end",
         {.fats = 255, .rootEntries = 512, .fat16 = 0xFFFF, .total32 = 100000}, false},
        {"no sectors", {.rootEntries = 224, .fat16 = 9}, false},
    };
    for (const Case& c : cases) {
        auto s = bootSector(c.bpb);
        VolumeLayout l = parseBootSector(s.data(), false);
        EXPECT_EQ(l.areasInOrder, c.inOrder) << c.what;
        if (!c.inOrder) {
            EXPECT_EQ(l.dirStart, 0u) << c.what;
            EXPECT_EQ(l.dataStart, 0u) << c.what;
        }
    }
}

// NTFS counts its sectors in 64 bits, past 2 TiB of 512-byte sectors too.
TEST(BootSector, NtfsTakesItsWholeCount)
{
    for (uint64_t total : {0x12345678ull, (1ull << 32) + 999, 1ull << 40}) {
        auto s = bootSector({.sectorsPerCluster = 8, .ntfsTotal = uint32_t(total)});
        putText(s, 3, "NTFS    ");
        put32(s, 44, uint32_t(total >> 32));
        VolumeLayout ntfs = parseBootSector(s.data(), true);
        EXPECT_EQ(ntfs.totalSectors, total);
        EXPECT_EQ(ntfs.bytesPerSector, 512u);
        EXPECT_EQ(ntfs.sectorsPerCluster, 8u);
        EXPECT_EQ(ntfs.fatType, 32u);  // no 16-bit FAT size
        EXPECT_EQ(parseBootSector(s.data(), false).totalSectors, 0u);
    }
}

TEST(BootSector, HostileSectorsGiveADefinedLayout)
{
    // Zero bytes per sector with a 16-bit FAT size would divide by zero.
    auto s = bootSector({.bytesPerSector = 0, .rootEntries = 224, .total16 = 2880, .fat16 = 9});
    VolumeLayout l = parseBootSector(s.data(), false);
    EXPECT_EQ(l.rootDirSectors, 0u);
    EXPECT_EQ(l.dirStart, 19u);
    EXPECT_EQ(l.dataStart, 19u);

    // All zero: the FAT32 branch, with sums that wrap.
    std::vector<uint8_t> zero(512, 0);
    l = parseBootSector(zero.data(), false);
    EXPECT_EQ(l.fatType, 32u);
    EXPECT_EQ(l.dirStart, 0u);

    std::vector<uint8_t> ones(512, 0xFF);
    l = parseBootSector(ones.data(), false);
    EXPECT_EQ(l.bytesPerSector, 0xFFFFu);
    EXPECT_EQ(l.totalSectors, 0xFFFFu);
}

TEST(BootSector, ReadsOnlyTheBytesItNeeds)
{
    // The sanitizer stops the test at any read past the buffer.
    std::mt19937 random(20261207);
    for (int round = 0; round < 2000; round++) {
        std::vector<uint8_t> exact(BOOT_SECTOR_READ_BYTES);
        for (auto& b : exact) b = uint8_t(random());
        if (round % 3 == 0) std::memcpy(exact.data() + 54, "FAT1", 4);
        VolumeLayout l = parseBootSector(exact.data(), round % 2 == 0);
        EXPECT_EQ(l.bytesPerSector, uint32_t(exact[11] | exact[12] << 8));
    }
}

// The layout of volumes that mkfs.fat wrote, checked against what mtools put
// in them: the first file's data at the start of the data area (FAT32: one
// cluster further, past the root directory), its name in the root directory,
// the media byte at the head of every FAT copy.
class MkfsVolume : public ::testing::TestWithParam<FatFormat> {};

TEST_P(MkfsVolume, LayoutMatchesWhereTheFileSystemPutThings)
{
    const FatFormat f = GetParam();
    TempDir dir;
    std::string image = makeFatImage(dir, "volume.img", f);
    std::vector<uint8_t> marker(f.sectorSize);
    for (size_t i = 0; i < marker.size(); i++) marker[i] = uint8_t(i * 7 + 3);
    copyIntoImage(image, "FIRST.BIN", marker);

    std::vector<uint8_t> sector = readBytes(image, 0, f.sectorSize);
    VolumeLayout l = parseBootSector(sector.data(), false);
    const uint32_t bps = f.sectorSize;

    EXPECT_EQ(l.bytesPerSector, bps);
    EXPECT_EQ(l.fatType, uint32_t(f.fatBits));
    EXPECT_EQ(l.totalSectors, fileSize(image) / bps);
    EXPECT_EQ(l.fatCount, uint32_t(f.fatCount));

    for (uint32_t copy = 0; copy < l.fatCount; copy++) {
        auto fat = readBytes(image, uint64_t(l.reservedSectors + copy * l.sectorsPerFat) * bps, 3);
        EXPECT_EQ(fat[0], sector[21]) << "FAT copy " << copy;
        EXPECT_EQ(fat[1], 0xFF);
        EXPECT_EQ(fat[2], 0xFF);
    }

    auto root = readBytes(image, uint64_t(l.dirStart) * bps, bps);
    std::string rootText(root.begin(), root.end());
    EXPECT_NE(rootText.find("FIRST   BIN"), std::string::npos);

    uint32_t firstFileSector = l.fatType == 32 ? l.dataStart + l.sectorsPerCluster : l.dataStart;
    EXPECT_EQ(readBytes(image, uint64_t(firstFileSector) * bps, bps), marker);

    uint32_t afterRoot = l.fatType == 32 ? l.sectorsPerCluster : 0;
    EXPECT_EQ(l.dataSectors, l.totalSectors - l.dataStart - afterRoot);
    if (l.fatType != 32) {
        EXPECT_EQ(l.dataStart - l.dirStart, l.rootDirSectors);
    }
}

// FAT12 below 4085 clusters, FAT16 below 65525, FAT32 above, at each sector size.
INSTANTIATE_TEST_SUITE_P(
    Formats, MkfsVolume,
    ::testing::Values(FatFormat{12, 512, 1440, 1, 1, 2, 224}, FatFormat{12, 512, 720, 2, 0, 2, 112},
                      FatFormat{12, 1024, 2048, 1, 2, 2, 0}, FatFormat{12, 2048, 4096, 1, 1, 1, 64},
                      FatFormat{12, 4096, 8192, 1, 3, 2, 0},
                      FatFormat{16, 512, 32768, 4, 1, 2, 512},
                      FatFormat{16, 512, 16384, 1, 8, 3, 100},
                      FatFormat{16, 1024, 65536, 2, 4, 1, 256},
                      FatFormat{16, 2048, 65536, 1, 8, 2, 1024},
                      FatFormat{16, 4096, 131072, 1, 0, 2, 0},
                      FatFormat{32, 512, 40960, 1, 32, 2, 0},
                      FatFormat{32, 512, 262144, 2, 6, 1, 0},
                      FatFormat{32, 1024, 81920, 1, 0, 2, 0},
                      FatFormat{32, 2048, 307200, 2, 16, 2, 0},
                      FatFormat{32, 4096, 307200, 1, 0, 2, 0}),
    [](const ::testing::TestParamInfo<FatFormat>& info) {
        std::string name = describe(info.param);
        for (char& c : name)
            if (!isalnum(static_cast<unsigned char>(c))) c = '_';
        return name;
    });

}  // namespace
