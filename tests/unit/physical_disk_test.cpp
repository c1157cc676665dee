#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "disk/physical_disk.h"

// A recording disk device: what each disk answers, and a log of every request
// as "open PhysicalDrive2 w #1, geometry #1, write #1 offset+bytes, close #1".
namespace {

struct Answers {
    bool opens;
    bool answers;
    DiskGeometry geometry;
    bool moves;
};

constexpr Answers disk(uint32_t sectorSize, uint64_t bytes, bool moves = true)
{
    return {true, true, {sectorSize, bytes, 0, 0, 0}, moves};
}

constexpr Answers cylinders(int64_t count, uint32_t tracks, uint32_t sectors)
{
    return {true, true, {512, 0, count, tracks, sectors}, true};
}

constexpr uint64_t MIB = 1 << 20;
constexpr Answers REFUSED = {false, false, {}, false};
constexpr Answers SILENT = {true, false, {}, false};

const DiskDevice uninstalled = diskDevice;
Answers answers[PHYSICAL_DISK_COUNT];
int handles[64];
int opened;
std::string requests;

void note(const std::string& entry)
{
    requests += (requests.empty() ? "" : ", ") + entry;
}

std::string handle(void* device)
{
    return " #" + std::to_string(static_cast<int*>(device) - handles);
}

void* recordOpen(const char* path, bool write)
{
    bool device = std::strncmp(path, "\\\\.\\", 4) == 0;
    note("open " + std::string(device ? path + 4 : path) + (write ? " w" : " r"));
    int disk = std::atoi(path + std::strlen("\\\\.\\PhysicalDrive"));
    if (!answers[disk].opens) return nullptr;
    handles[++opened] = disk;
    requests += handle(&handles[opened]);
    return &handles[opened];
}

bool recordGeometry(void* device, DiskGeometry* geometry)
{
    note("geometry" + handle(device));
    const Answers& answer = answers[*static_cast<int*>(device)];
    *geometry = answer.geometry;
    return answer.answers;
}

bool recordMove(void* device, SectorOp op, uint64_t offset, uint32_t bytes, void*)
{
    note((op == SectorOp::Read ? "read" : "write") + handle(device) + " " +
         std::to_string(offset) + "+" + std::to_string(bytes));
    return answers[*static_cast<int*>(device)].moves;
}

void recordClose(void* device)
{
    note("close" + handle(device));
}

int closes()
{
    int count = 0;
    for (size_t at = requests.find("close"); at != std::string::npos;
         at = requests.find("close", at + 1))
        count++;
    return count;
}

class PhysicalDiskTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        diskDevice = {recordOpen, recordGeometry, recordMove, recordClose};
        for (Answers& answer : answers) answer = disk(512, MIB);
        opened = 0;
        requests.clear();
        SectorIo::setMethod(AccessMethod::WinNt5);
    }
    void TearDown() override { endDiskRun(); }
    uint8_t buffer[1] = {};
};

struct TransferRow {
    const char* what;
    Answers answer;
    SectorOp op;
    int disk;
    uint32_t count;
    SectorNumber first;
    bool done;
    const char* log;
};

const char* const REFUSED_LOG = "open PhysicalDrive0 r #1, geometry #1, close #1";

const TransferRow TRANSFERS[] = {
    {"read", disk(512, MIB), SectorOp::Read, 1, 1, 3, true,
     "open PhysicalDrive1 r #1, geometry #1, read #1 1536+512, close #1"},
    {"write, 4096-byte sectors", disk(4096, MIB), SectorOp::Write, 31, 2, 10, true,
     "open PhysicalDrive31 w #1, geometry #1, write #1 40960+8192, close #1"},
    {"last sector", disk(512, MIB), SectorOp::Read, 0, 1, 2047, true,
     "open PhysicalDrive0 r #1, geometry #1, read #1 1048064+512, close #1"},
    {"past the end", disk(512, MIB), SectorOp::Read, 0, 1, 2048, false, REFUSED_LOG},
    {"across the end", disk(512, MIB), SectorOp::Write, 0, 2, 2047, false,
     "open PhysicalDrive0 w #1, geometry #1, close #1"},
    {"last sector number", disk(512, MIB), SectorOp::Read, 0, 1, UINT64_MAX, false, REFUSED_LOG},
    {"part sector rounded down", disk(512, 10 * 512 + 100), SectorOp::Read, 0, 1, 9, true,
     "open PhysicalDrive0 r #1, geometry #1, read #1 4608+512, close #1"},
    {"part sector", disk(512, 10 * 512 + 100), SectorOp::Read, 0, 1, 10, false, REFUSED_LOG},
    {"less than a sector", disk(512, 511), SectorOp::Read, 0, 1, 0, false, REFUSED_LOG},
    {"largest sector", disk(16384, MIB), SectorOp::Read, 0, 1, 63, true,
     "open PhysicalDrive0 r #1, geometry #1, read #1 1032192+16384, close #1"},
    {"sector of 0", disk(0, MIB), SectorOp::Read, 0, 1, 0, false, REFUSED_LOG},
    {"sector not a power of two", disk(768, MIB), SectorOp::Read, 0, 1, 0, false, REFUSED_LOG},
    {"sector past the buffers", disk(32768, MIB), SectorOp::Read, 0, 1, 0, false, REFUSED_LOG},
    {"cylinders' last sector", cylinders(1000, 16, 63), SectorOp::Read, 0, 1, 1007999, true,
     "open PhysicalDrive0 r #1, geometry #1, read #1 516095488+512, close #1"},
    {"past the cylinders", cylinders(1000, 16, 63), SectorOp::Read, 0, 1, 1008000, false,
     REFUSED_LOG},
    {"negative cylinders", {true, true, {1, 0, -1, 1, 1}, true}, SectorOp::Read, 0, 1, 0, false,
     REFUSED_LOG},
    {"cylinders overflowing", cylinders(INT64_MAX, 16, 63), SectorOp::Read, 0, 1, 0, false,
     REFUSED_LOG},
    {"a cylinder overflowing", cylinders(1, UINT32_MAX, UINT32_MAX), SectorOp::Read, 0, 1, 0,
     false, REFUSED_LOG},
    {"most bytes", disk(512, MIB << 20), SectorOp::Read, 0, 0x7FFFFF, 0, true,
     "open PhysicalDrive0 r #1, geometry #1, read #1 0+4294966784, close #1"},
    {"bytes past 32 bits", disk(512, MIB << 20), SectorOp::Read, 0, 0x800000, 0, false,
     REFUSED_LOG},
    {"open refused", REFUSED, SectorOp::Read, 0, 1, 0, false, "open PhysicalDrive0 r"},
    {"no geometry", SILENT, SectorOp::Read, 0, 1, 0, false, REFUSED_LOG},
    {"short move", disk(512, MIB, false), SectorOp::Read, 0, 1, 0, false,
     "open PhysicalDrive0 r #1, geometry #1, read #1 0+512, close #1"},
    {"disk 32", disk(512, MIB), SectorOp::Read, 32, 1, 0, false, ""},
    {"disk -1", disk(512, MIB), SectorOp::Write, -1, 1, 0, false, ""},
    {"another operation", disk(512, MIB), SectorOp(4), 0, 1, 0, false, ""},
};

TEST_F(PhysicalDiskTest, TransfersAskOnlyInsideTheDisk)
{
    for (const TransferRow& row : TRANSFERS) {
        for (Answers& answer : answers) answer = row.answer;
        opened = 0;
        requests.clear();
        EXPECT_EQ(diskTransfer(row.op, row.disk, row.count, row.first, buffer),
                  row.done ? SECTOR_STATUS_OK : SECTOR_STATUS_FAILED)
            << row.what;
        EXPECT_EQ(requests, row.log) << row.what;
    }
}

TEST_F(PhysicalDiskTest, ARunHoldsOneHandle)
{
    EXPECT_FALSE(beginDiskRun(SectorOp::Read, 2, 4096));
    ASSERT_TRUE(beginDiskRun(SectorOp::Read, 2, 512));
    EXPECT_EQ(diskTransfer(SectorOp::Read, 2, 1, 5, buffer), SECTOR_STATUS_OK);
    EXPECT_EQ(diskTransfer(SectorOp::Read, 2, 1, 2048, buffer), SECTOR_STATUS_FAILED);
    EXPECT_EQ(diskTransfer(SectorOp::Write, 2, 1, 5, buffer), SECTOR_STATUS_FAILED);
    EXPECT_EQ(diskTransfer(SectorOp::Read, 3, 1, 0, buffer), SECTOR_STATUS_OK);
    ASSERT_TRUE(beginDiskRun(SectorOp::Write, 4, 512));
    EXPECT_EQ(diskTransfer(SectorOp::Write, 4, 1, 1, buffer), SECTOR_STATUS_OK);
    endDiskRun();
    endDiskRun();
    EXPECT_EQ(diskTransfer(SectorOp::Read, 4, 1, 1, buffer), SECTOR_STATUS_OK);
    EXPECT_EQ(requests,
              "open PhysicalDrive2 r #1, geometry #1, close #1, "
              "open PhysicalDrive2 r #2, geometry #2, read #2 2560+512, "
              "open PhysicalDrive3 r #3, geometry #3, read #3 0+512, close #3, "
              "close #2, open PhysicalDrive4 w #4, geometry #4, write #4 512+512, close #4, "
              "open PhysicalDrive4 r #5, geometry #5, read #5 512+512, close #5");
}

TEST_F(PhysicalDiskTest, FindsTheDisksThatAnswerOnNtOnly)
{
    answers[0] = REFUSED;
    answers[2] = disk(4096, 10 * 4096 + 512);
    answers[3] = SILENT;
    answers[4] = disk(768, MIB);
    answers[6] = disk(512, 511);
    for (int number = 7; number < PHYSICAL_DISK_COUNT; number++) answers[number] = REFUSED;
    PhysicalDisk disks[PHYSICAL_DISK_COUNT] = {};
    ASSERT_EQ(findPhysicalDisks(disks), 3);
    EXPECT_EQ(disks[0].number, 1);
    EXPECT_EQ(disks[1].number, 2);
    EXPECT_EQ(disks[1].sectorSize, 4096u);
    EXPECT_EQ(disks[1].sectorCount, 10u);
    EXPECT_EQ(disks[2].number, 5);
    EXPECT_EQ(disks[2].sectorCount, 2048u);
    EXPECT_EQ(opened, 6);
    EXPECT_EQ(requests.find(" w"), std::string::npos);
    EXPECT_EQ(closes(), 6);

    requests.clear();
    SectorIo::setMethod(AccessMethod::Win98);
    EXPECT_EQ(findPhysicalDisks(disks), 0);
    diskDevice = uninstalled;
    SectorIo::setMethod(AccessMethod::WinNt4);
    EXPECT_EQ(findPhysicalDisks(disks), 0);
    EXPECT_EQ(requests, "");
}

}  // namespace
