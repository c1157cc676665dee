#include <gtest/gtest.h>
#include <windows.h>
#include <winioctl.h>

#include "disk/device_io_win32.h"
#include "disk/physical_disk.h"
#include "disk/physical_disk_win32.h"

// Wine answers \\.\PhysicalDrive0 with a geometry of its own making and
// refuses every seek and read of it.
namespace {

HANDLE openDiskZero()
{
    return CreateFileA("\\\\.\\PhysicalDrive0", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                       nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

uint64_t diskBytesAsked()
{
    HANDLE device = openDiskZero();
    DISK_GEOMETRY_EX geometry = {};
    DWORD returned = 0;
    DeviceIoControl(device, IOCTL_DISK_GET_DRIVE_GEOMETRY_EX, nullptr, 0, &geometry,
                    sizeof geometry, &returned, nullptr);
    CloseHandle(device);
    return uint64_t(geometry.DiskSize.QuadPart);
}

class PhysicalDiskWin32 : public ::testing::Test {
protected:
    void SetUp() override
    {
        installDiskDevice();
        SectorIo::setMethod(AccessMethod::WinNt5);
    }
    void TearDown() override { endDiskRun(); }
    alignas(SECTOR_BUFFER_ALIGNMENT) uint8_t buffer[512] = {};
};

TEST_F(PhysicalDiskWin32, WineDiskTellsItsSizeAndMovesNothing)
{
    uint32_t sectorSize = 0;
    uint64_t sectorCount = 0;
    ASSERT_TRUE(queryDisk(0, &sectorSize, &sectorCount));
    EXPECT_EQ(sectorSize, 512u);
    EXPECT_EQ(sectorCount, diskBytesAsked() / 512);
    PhysicalDisk disks[PHYSICAL_DISK_COUNT] = {};
    ASSERT_GE(findPhysicalDisks(disks), 1);
    EXPECT_EQ(disks[0].number, 0);
    EXPECT_EQ(disks[0].sectorCount, sectorCount);
    for (SectorNumber sector : {SectorNumber(0), sectorCount - 1, sectorCount})
        EXPECT_EQ(diskTransfer(SectorOp::Read, 0, 1, sector, buffer), SECTOR_STATUS_FAILED);
    EXPECT_FALSE(beginDiskRun(SectorOp::Read, 0, 4096));
    ASSERT_TRUE(beginDiskRun(SectorOp::Read, 0, 512));
    EXPECT_EQ(diskTransfer(SectorOp::Read, 0, 1, 0, buffer), SECTOR_STATUS_FAILED);
}

// Either refusal alone fails the transfer: each is checked on its own.
TEST_F(PhysicalDiskWin32, RefusedSeekAndReadAreFailures)
{
    HANDLE device = openDiskZero();
    ASSERT_NE(device, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(seekDevice(device, 512));
    EXPECT_FALSE(moveDeviceBytes(device, SectorOp::Read, 512, buffer));
    CloseHandle(device);
}

}  // namespace
