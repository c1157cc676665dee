#include <gtest/gtest.h>

#include "app/platform_win32.h"
#include "disk/sector_io.h"
#include "image_route.h"
#include "volume/volume_info.h"
#include "wine_paths.h"

// The drives come from the CTest entry: X: a FAT12 floppy labelled VELDISFD
// with serial 1234-ABCD, Y: a FAT32 hard-disk volume VELDIS32, CAFE-F00D.
namespace {

constexpr int DRIVE_X = 'X' - 'A';
constexpr int DRIVE_Y = 'Y' - 'A';

class VolumeOnWine : public ::testing::Test {
protected:
    void SetUp() override { installWin32Platform(); }
    DriveSpace space{};
};

TEST_F(VolumeOnWine, FloppyReportsWhatMkfsWrote)
{
    ASSERT_TRUE(queryVolumeInfo(DRIVE_X, space));
    EXPECT_STREQ(volumeInfo.fileSystemName, "FAT");
    EXPECT_STREQ(volumeInfo.volumeName, "VELDISFD");
    EXPECT_EQ(volumeInfo.serialNumber, 0x1234ABCDu);
    EXPECT_FALSE(volumeInfo.isNtfs);
    EXPECT_NE(space.bytesPerSector, 0u);
    EXPECT_EQ(space.totalBytes32,
              space.bytesPerSector * space.sectorsPerCluster * space.totalClusters);
    EXPECT_NE(space.totalBytes, 0u);  // Wine has the extended query
}

TEST_F(VolumeOnWine, Fat32VolumeReportsWhatMkfsWrote)
{
    ASSERT_TRUE(queryVolumeInfo(DRIVE_Y, space));
    EXPECT_STREQ(volumeInfo.fileSystemName, "FAT32");
    EXPECT_STREQ(volumeInfo.volumeName, "VELDIS32");
    EXPECT_EQ(volumeInfo.serialNumber, 0xCAFEF00Du);
    EXPECT_FALSE(volumeInfo.isNtfs);
}

TEST_F(VolumeOnWine, AMissingDriveFailsTheQuery)
{
    EXPECT_FALSE(queryVolumeInfo('Q' - 'A', space));
}

TEST_F(VolumeOnWine, LayoutComesThroughTheImageRoute)
{
    ImageRoute::reset();
    ImageRoute::attach(DRIVE_X, winePathFromEnvironment("VELDIS_IMAGE_X"), 512);
    ImageRoute::attach(DRIVE_Y, winePathFromEnvironment("VELDIS_IMAGE_Y"), 512);
    SectorIo::setRoutes(ImageRoute::routes());
    SectorIo::setMethod(AccessMethod::WinNt5);

    VolumeLayout floppy{}, fat32{};
    ASSERT_TRUE(queryVolumeInfo(DRIVE_X, space));
    readVolumeLayout(driveSource(DRIVE_X), floppy);
    EXPECT_EQ(floppy.fatType, 12u);
    EXPECT_EQ(floppy.totalSectors, 2880u);
    EXPECT_EQ(floppy.dirStart, 19u);
    EXPECT_EQ(floppy.dataStart, 33u);

    ASSERT_TRUE(queryVolumeInfo(DRIVE_Y, space));
    readVolumeLayout(driveSource(DRIVE_Y), fat32);
    EXPECT_EQ(fat32.fatType, 32u);
    EXPECT_EQ(fat32.totalSectors, 81920u);
    EXPECT_EQ(fat32.dirStart, fat32.dataStart);
    EXPECT_EQ(ImageRoute::requests().size(), 2u);
}

}  // namespace
