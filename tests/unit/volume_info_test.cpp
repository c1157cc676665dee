#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "fake_platform.h"
#include "fat_image.h"
#include "image_route.h"
#include "volume/volume_info.h"

namespace {

class VolumeQuery : public ::testing::Test {
protected:
    void SetUp() override { installFakePlatform(); }
    DriveSpace space{};
};

TEST_F(VolumeQuery, ReportsTheVolumeAndItsSpace)
{
    fake.volume = {.label = "VELDISFD", .fileSystem = "FAT", .serialNumber = 0x1234ABCD,
                   .sectorsPerCluster = 1, .bytesPerSector = 512, .freeClusters = 2000,
                   .totalClusters = 2847, .freeBytesAvailable = 1, .totalBytes = 2,
                   .totalFreeBytes = 3};
    ASSERT_TRUE(queryVolumeInfo(25, space));
    EXPECT_EQ(fake.queriedRoots, std::vector<std::string>{"Z:\\"});
    EXPECT_STREQ(volumeInfo.volumeName, "VELDISFD");
    EXPECT_STREQ(volumeInfo.fileSystemName, "FAT");
    EXPECT_EQ(volumeInfo.serialNumber, 0x1234ABCDu);
    EXPECT_FALSE(volumeInfo.isNtfs);
    EXPECT_EQ(space.bytesPerSector, 512u);
    EXPECT_EQ(space.totalBytes32, 2847u * 512);
    EXPECT_EQ(space.freeBytes32, 2000u * 512);
    EXPECT_EQ(space.freeBytesAvailable, 1u);
    EXPECT_EQ(space.totalBytes, 2u);
    EXPECT_EQ(space.totalFreeBytes, 3u);
}

TEST_F(VolumeQuery, NtfsIsTheWholeNameCaseSensitive)
{
    for (const char* name : {"NTFS", "ntfs", "NTFS ", "NTF", "FAT32"}) {
        fake.volume.fileSystem = name;
        ASSERT_TRUE(queryVolumeInfo(2, space));
        EXPECT_EQ(volumeInfo.isNtfs, std::strcmp(name, "NTFS") == 0) << name;
    }
}

// An empty drive after an NTFS one must not take on its file system, and
// with it the NTFS way of counting its sectors.
TEST_F(VolumeQuery, AFailedVolumeQueryCarriesNothingFromTheDriveBefore)
{
    fake.volume = {.label = "OLD", .fileSystem = "NTFS", .serialNumber = 0xABCD};
    queryVolumeInfo(0, space);
    fake.volume.present = false;
    EXPECT_TRUE(queryVolumeInfo(0, space));
    EXPECT_STREQ(volumeInfo.volumeName, "");
    EXPECT_STREQ(volumeInfo.fileSystemName, "");
    EXPECT_EQ(volumeInfo.serialNumber, 0u);
    EXPECT_FALSE(volumeInfo.isNtfs);
}

TEST_F(VolumeQuery, NoFreeSpaceFiguresIsAFailureThatLeavesTheRestAlone)
{
    space.totalBytes = 77;
    space.totalBytes32 = 66;
    fake.volume.freeSpaceOk = false;
    EXPECT_FALSE(queryVolumeInfo(0, space));
    EXPECT_EQ(space.totalBytes, 77u);
    EXPECT_EQ(space.totalBytes32, 66u);
}

TEST_F(VolumeQuery, WithoutTheExtendedQueryTheLargeFiguresAreZero)
{
    space.totalBytes = space.freeBytesAvailable = space.totalFreeBytes = 99;
    fake.volume.hasExtendedQuery = false;
    fake.volume.sectorsPerCluster = 64;
    fake.volume.freeClusters = 0x30000;
    fake.volume.totalClusters = 0x40000;
    ASSERT_TRUE(queryVolumeInfo(0, space));
    EXPECT_EQ(space.totalBytes, 0u);
    EXPECT_EQ(space.freeBytesAvailable, 0u);
    EXPECT_EQ(space.totalFreeBytes, 0u);
    // 8 GiB and 6 GiB wrap to zero in 32 bits.
    EXPECT_EQ(space.totalBytes32, 0u);
    EXPECT_EQ(space.freeBytes32, uint32_t(uint64_t(0x30000) * 64 * 512));
}

class LayoutRead : public ::testing::Test {
protected:
    void SetUp() override
    {
        installFakePlatform();
        image = makeFatImage(dir, "floppy.img", {12, 512, 1440, 1, 1, 2, 224});
        ImageRoute::attach(0, image, 512);
    }
    TempDir dir;
    std::string image;
};

TEST_F(LayoutRead, ParsesSectorZeroOfTheDrive)
{
    VolumeLayout layout{};
    readVolumeLayout(driveSource(0), layout);
    EXPECT_EQ(layout.fatType, 12u);
    EXPECT_EQ(layout.totalSectors, 2880u);
    EXPECT_EQ(layout.dirStart, 19u);
    EXPECT_EQ(layout.dataStart, 33u);
    ASSERT_EQ(ImageRoute::requests().size(), 1u);
    EXPECT_EQ(ImageRoute::requests()[0].firstSector, 0u);
    EXPECT_EQ(ImageRoute::requests()[0].count, 1u);
}

TEST_F(LayoutRead, UsesTheNtfsFlagOfTheLastQuery)
{
    volumeInfo.isNtfs = true;
    VolumeLayout layout{};
    readVolumeLayout(driveSource(0), layout);
    // Offsets 40 to 47 of a FAT12 boot sector hold part of its serial and label.
    std::vector<uint8_t> at40 = readBytes(image, 40, 8);
    uint64_t count = 0;
    for (int i = 7; i >= 0; i--) count = count << 8 | at40[i];
    EXPECT_EQ(layout.totalSectors, count);
}

TEST_F(LayoutRead, AFailedReadGivesAnAllZeroLayout)
{
    VolumeLayout layout{};
    readVolumeLayout(driveSource(0), layout);
    ASSERT_NE(layout.totalSectors, 0u);
    ImageRoute::failSector(0, SectorOp::Read, 0);
    readVolumeLayout(driveSource(0), layout);
    VolumeLayout zero{};
    EXPECT_EQ(std::memcmp(&layout, &zero, sizeof layout), 0);
}

}  // namespace
