#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "app/platform_win32.h"
#include "disk/sector_routes_win32.h"
#include "wine_paths.h"

// The drives come from the CTest entry: X: a FAT12 floppy, Y: a sparse raw
// device of 1 TiB and 1 MiB, both on loop devices.
namespace {

constexpr int DRIVE_X = 'X' - 'A';
constexpr int DRIVE_Y = 'Y' - 'A';

std::vector<uint8_t> imageBytes(const char* variable, uint64_t offset, size_t count)
{
    std::vector<uint8_t> bytes(count);
    FILE* image = std::fopen(winePathFromEnvironment(variable).c_str(), "rb");
    if (image == nullptr) return {};
    _fseeki64(image, int64_t(offset), SEEK_SET);
    size_t got = std::fread(bytes.data(), 1, count, image);
    std::fclose(image);
    bytes.resize(got);
    return bytes;
}

class NtRoute : public ::testing::Test {
protected:
    void SetUp() override { installWin32Platform(); }
};

TEST_F(NtRoute, ReadsWhatTheImageHolds)
{
    std::vector<uint8_t> sectors(3 * 512);
    ASSERT_EQ(ntTransfer(SectorOp::Read, DRIVE_X, 1, 0, sectors.data()), 0);
    EXPECT_EQ(std::vector<uint8_t>(sectors.begin(), sectors.begin() + 512),
              imageBytes("VELDIS_IMAGE_X", 0, 512));
    ASSERT_EQ(ntTransfer(SectorOp::Read, DRIVE_X, 3, 18, sectors.data()), 0);
    EXPECT_EQ(sectors, imageBytes("VELDIS_IMAGE_X", 18 * 512, 3 * 512));
}

TEST_F(NtRoute, WritesExactlyTheSectorsAsked)
{
    std::vector<uint8_t> before = imageBytes("VELDIS_IMAGE_X", 0, 1440 * 1024);
    std::vector<uint8_t> sector(512);
    for (size_t i = 0; i < sector.size(); i++) sector[i] = uint8_t(i * 3 + 1);
    ASSERT_EQ(ntTransfer(SectorOp::Write, DRIVE_X, 1, 40, sector.data()), 0);
    std::vector<uint8_t> after = imageBytes("VELDIS_IMAGE_X", 0, 1440 * 1024);
    std::memcpy(before.data() + 40 * 512, sector.data(), 512);
    EXPECT_TRUE(before == after);
}

// Linux refuses a seek past the end of a block device; the transfer must
// then fail rather than happen at the position the device was opened at.
TEST_F(NtRoute, TransfersPastTheEndFailAndTouchNothing)
{
    std::vector<uint8_t> before = imageBytes("VELDIS_IMAGE_X", 0, 1440 * 1024);
    std::vector<uint8_t> buffer(2 * 512, 0xE5);
    for (SectorOp op : {SectorOp::Read, SectorOp::Write}) {
        for (uint32_t sector : {2880u, 2881u, 100000u, 0xFFFFFFFFu})
            EXPECT_EQ(ntTransfer(op, DRIVE_X, 1, sector, buffer.data()), 1) << sector;
    }
    EXPECT_EQ(ntTransfer(SectorOp::Read, DRIVE_X, 2, 2879, buffer.data()), 1);  // half past the end
    EXPECT_TRUE(imageBytes("VELDIS_IMAGE_X", 0, 1440 * 1024) == before);
    EXPECT_EQ(ntTransfer(SectorOp::Read, 'Q' - 'A', 1, 0, buffer.data()), 1);  // no such drive
}

// Byte offsets past 32 bits, and sector numbers past 2^31, which a signed
// reading of the sector number would turn into offsets before the start.
TEST_F(NtRoute, SectorsFarIntoALargeVolume)
{
    for (uint32_t sector : {8388608u, 0x80000000u, 0x800007FFu}) {  // the last is the last sector
        std::vector<uint8_t> marker(512), back(512);
        for (size_t i = 0; i < marker.size(); i++) marker[i] = uint8_t(sector >> 20 ^ i);
        ASSERT_EQ(ntTransfer(SectorOp::Write, DRIVE_Y, 1, sector, marker.data()), 0)
            << sector << " error " << GetLastError();
        EXPECT_EQ(imageBytes("VELDIS_IMAGE_Y", uint64_t(sector) * 512, 512), marker) << sector;
        ASSERT_EQ(ntTransfer(SectorOp::Read, DRIVE_Y, 1, sector, back.data()), 0);
        EXPECT_EQ(back, marker);
    }
    EXPECT_EQ(imageBytes("VELDIS_IMAGE_Y", 0, 512), std::vector<uint8_t>(512, 0));
}

// Wine answers neither geometry nor length for a loop device: the sector
// size comes from the volume and the end from reading.
TEST_F(NtRoute, TheDeviceTellsItsSizeWhateverItHolds)
{
    struct Case {
        int drive;
        uint64_t sectors;
    } cases[] = {{DRIVE_X, 2880}, {DRIVE_Y, (1ull << 31) + 2048}};
    for (const Case& c : cases) {
        uint32_t sectorSize = 0;
        uint64_t sectorCount = 0;
        ASSERT_TRUE(queryNtDevice(c.drive, &sectorSize, &sectorCount)) << c.drive;
        EXPECT_EQ(sectorSize, 512u);
        EXPECT_EQ(sectorCount, c.sectors);
    }
    uint32_t sectorSize = 0;
    uint64_t sectorCount = 0;
    EXPECT_FALSE(queryNtDevice('Q' - 'A', &sectorSize, &sectorCount));  // no such drive
}

}  // namespace

// An image file past 4 GiB, sparse: sector 2^23 + 1 is read and written at
// its own offset, through SetFilePointer's high word, and nowhere 4 GiB lower.
TEST(ImageFileRoute, OffsetsPast4GiB)
{
    char folder[MAX_PATH], path[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    std::snprintf(path, sizeof path, "%sveldis-5gib.img", folder);
    const uint64_t sector = (1ull << 23) + 1, offset = sector * 512, size = 5ull << 30;
    FILE* file = std::fopen(path, "wb");
    ASSERT_NE(file, nullptr);
    _fseeki64(file, int64_t(offset), SEEK_SET);
    std::fputs("past four gigabytes", file);
    _fseeki64(file, int64_t(size - 1), SEEK_SET);
    std::fputc(0, file);
    std::fclose(file);

    SectorIo::setRoutes(WIN32_SECTOR_ROUTES);
    ASSERT_EQ(SectorIo::openImage(path), SectorIo::ImageOpening::Opened);
    EXPECT_EQ(SectorIo::imageLength(), size);
    EXPECT_FALSE(SectorIo::isImageReadOnly());
    uint8_t bytes[512] = {};
    ASSERT_EQ(SectorIo::transfer(SectorOp::Read, IMAGE_FILE_SOURCE, 1, sector, bytes), 0);
    EXPECT_STREQ(reinterpret_cast<char*>(bytes), "past four gigabytes");
    std::memset(bytes, 0xA5, sizeof bytes);
    ASSERT_EQ(SectorIo::transfer(SectorOp::Write, IMAGE_FILE_SOURCE, 1, sector, bytes), 0);
    // The last sector's end is the file's: one past it moves nothing.
    EXPECT_NE(SectorIo::transfer(SectorOp::Read, IMAGE_FILE_SOURCE, 1, size / 512, bytes), 0);
    SectorIo::closeImage();

    file = std::fopen(path, "rb");
    ASSERT_NE(file, nullptr);
    uint8_t written[512], low[512];
    _fseeki64(file, int64_t(offset), SEEK_SET);
    EXPECT_EQ(std::fread(written, 1, 512, file), 512u);
    _fseeki64(file, int64_t(offset - (1ull << 32)), SEEK_SET);
    EXPECT_EQ(std::fread(low, 1, 512, file), 512u);
    _fseeki64(file, 0, SEEK_END);
    EXPECT_EQ(uint64_t(_ftelli64(file)), size);
    std::fclose(file);
    DeleteFileA(path);
    EXPECT_EQ(std::vector<uint8_t>(written, written + 512), std::vector<uint8_t>(512, 0xA5));
    EXPECT_EQ(std::vector<uint8_t>(low, low + 512), std::vector<uint8_t>(512, 0));
}
