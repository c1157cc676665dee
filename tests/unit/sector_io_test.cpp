#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <vector>

#include "disk/sector_io.h"
#include "fat_image.h"
#include "image_route.h"

namespace {

std::vector<const char*> taken;
void* lastBuffer;

template <int Status>
int route(const char* name, SectorOp, int, uint32_t, SectorNumber, void* buffer)
{
    taken.push_back(name);
    lastBuffer = buffer;
    return Status;
}

int nt(SectorOp op, int d, uint32_t c, SectorNumber f, void* b) { return route<0>("nt", op, d, c, f, b); }
int abs(SectorOp op, int d, uint32_t c, SectorNumber f, void* b) { return route<997>("abs", op, d, c, f, b); }
int ext(SectorOp op, int d, uint32_t c, SectorNumber f, void* b) { return route<-1>("ext", op, d, c, f, b); }
int disk(SectorOp op, int d, uint32_t c, SectorNumber f, void* b) { return route<0>("disk", op, d, c, f, b); }
bool device(int, uint32_t* sectorSize, uint64_t* sectorCount)
{
    taken.push_back("device");
    *sectorSize = 2048;
    *sectorCount = 77;
    return true;
}

class Dispatch : public ::testing::Test {
protected:
    void SetUp() override
    {
        taken.clear();
        SectorIo::setRoutes({nt, abs, ext, nullptr, nullptr, device, nullptr, nullptr, nullptr, disk,
                             nullptr, nullptr, device});
    }
};

TEST_F(Dispatch, EachMethodTakesItsRouteAndReturnsItsStatus)
{
    struct Case {
        int method;
        const char* route;
        int status;
    } cases[] = {{-3, "nt", 0}, {-2, "nt", 0}, {-1, "nt", 0}, {0, "abs", 997},
                 {1, "abs", 997}, {2, "ext", -1}, {3, "ext", -1}, {7, "ext", -1}};
    uint8_t buffer[512];
    for (const Case& c : cases) {
        taken.clear();
        SectorIo::setMethod(static_cast<AccessMethod>(c.method));
        EXPECT_EQ(SectorIo::transfer(SectorOp::Read, driveSource(2), 1, 0, buffer), c.status) << c.method;
        ASSERT_EQ(taken.size(), 1u) << c.method;
        EXPECT_STREQ(taken[0], c.route) << c.method;
        EXPECT_EQ(lastBuffer, buffer);
        // A physical disk is there on Windows NT only; elsewhere nothing is asked.
        taken.clear();
        bool nt = c.method < 0;
        EXPECT_EQ(SectorIo::transfer(SectorOp::Read, diskSource(1), 1, 0, buffer), nt ? 0 : 1);
        ASSERT_EQ(taken.size(), nt ? 1u : 0u) << c.method;
        if (nt) {
            EXPECT_STREQ(taken[0], "disk");
        }
    }
}

TEST_F(Dispatch, NtRouteRefusesOtherOperationsWithoutTouchingTheDisk)
{
    SectorIo::setMethod(AccessMethod::WinNt5);
    EXPECT_EQ(SectorIo::transfer(static_cast<SectorOp>(4), driveSource(0), 1, 0, nullptr), 1);
    EXPECT_TRUE(taken.empty());
    // The VWIN32 routes judge the operation themselves.
    SectorIo::setMethod(AccessMethod::Win98);
    EXPECT_EQ(SectorIo::transfer(static_cast<SectorOp>(4), driveSource(0), 1, 0, nullptr), -1);
    EXPECT_EQ(taken.size(), 1u);
}

// Only a volume device answers its size; through VWIN32 no volume opens raw.
TEST_F(Dispatch, OnlyTheNtRouteAsksTheDevice)
{
    uint32_t size = 0;
    uint64_t count = 0;
    SectorIo::setMethod(AccessMethod::Win98);
    EXPECT_FALSE(SectorIo::queryDevice(driveSource(0), &size, &count));
    EXPECT_TRUE(taken.empty());
    SectorIo::setMethod(AccessMethod::WinNt5);
    EXPECT_TRUE(SectorIo::queryDevice(driveSource(0), &size, &count));
    EXPECT_EQ(size, 2048u);
    EXPECT_EQ(count, 77u);
}

TEST(SectorOpValues, AreTheVwin32ControlCodes)
{
    EXPECT_EQ(int(SectorOp::Read), 2);
    EXPECT_EQ(int(SectorOp::Write), 3);
}

class ImageFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        ImageRoute::reset();
        SectorIo::setRoutes(ImageRoute::routes());
        SectorIo::setMethod(AccessMethod::WinNt5);
        path = dir.path + "/disk.img";
        std::vector<uint8_t> bytes(8 * 2048);
        for (size_t i = 0; i < bytes.size(); i++) bytes[i] = uint8_t(i / 2048 * 16 + i % 2048 % 7);
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<char*>(bytes.data()),
                                                    std::streamsize(bytes.size()));
        ImageRoute::attach(3, path, 2048);
    }
    TempDir dir;
    std::string path;
};

TEST_F(ImageFile, ReadsAndWritesWholeSectorsOfAnySize)
{
    std::vector<uint8_t> two(2 * 2048);
    ASSERT_EQ(SectorIo::transfer(SectorOp::Read, driveSource(3), 2, 5, two.data()), 0);
    EXPECT_EQ(two[0], 5 * 16);
    EXPECT_EQ(two[2048], 6 * 16);

    std::fill(two.begin(), two.end(), 0xA5);
    ASSERT_EQ(SectorIo::transfer(SectorOp::Write, driveSource(3), 2, 6, two.data()), 0);
    EXPECT_EQ(readBytes(path, 5 * 2048, 1)[0], 5 * 16);
    EXPECT_EQ(readBytes(path, 6 * 2048, 4096), two);
    EXPECT_EQ(fileSize(path), 8u * 2048);
}

TEST_F(ImageFile, FailsPastTheEndUnknownDrivesAndChosenSectors)
{
    std::vector<uint8_t> buffer(4 * 2048, 0x11);
    EXPECT_EQ(SectorIo::transfer(SectorOp::Read, driveSource(3), 2, 7, buffer.data()), 1);
    EXPECT_EQ(SectorIo::transfer(SectorOp::Write, driveSource(3), 1, 8, buffer.data()), 1);
    EXPECT_EQ(fileSize(path), 8u * 2048);
    EXPECT_EQ(SectorIo::transfer(SectorOp::Read, driveSource(4), 1, 0, buffer.data()), 1);

    ImageRoute::failSector(3, SectorOp::Write, 2);
    EXPECT_EQ(SectorIo::transfer(SectorOp::Read, driveSource(3), 1, 2, buffer.data()), 0);
    EXPECT_EQ(SectorIo::transfer(SectorOp::Write, driveSource(3), 3, 0, buffer.data()), 1);
    EXPECT_EQ(readBytes(path, 0, 1)[0], 0);  // a failed write writes nothing
    EXPECT_EQ(SectorIo::transfer(SectorOp::Write, driveSource(3), 1, 3, buffer.data()), 0);

    ASSERT_EQ(ImageRoute::requests().size(), 6u);
    EXPECT_EQ(ImageRoute::requests()[4].count, 3u);
    EXPECT_EQ(ImageRoute::requests()[4].op, SectorOp::Write);
}

}  // namespace
