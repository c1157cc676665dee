#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

#include "disk/physical_disk.h"

// A recording disk device: what every disk answers, and each request as
// "open PhysicalDrive2 w #1, geometry #1, write #1 offset+bytes, close #1".
namespace {

struct Answers {
    bool opens, answers;
    DiskGeometry geometry;
    bool moves;
};

constexpr Answers disk(uint32_t sectorSize, uint64_t bytes, bool moves = true)
{
    return {true, true, {sectorSize, bytes, 0, 0, 0}, moves};
}

constexpr Answers cylinders(int64_t count, uint32_t tracks, uint32_t sectors, uint32_t size = 512)
{
    return {true, true, {size, 0, count, tracks, sectors}, true};
}

constexpr uint64_t MIB = 1 << 20;
constexpr Answers REFUSED = {false, false, {}, false}, SILENT = {true, false, {}, false};
constexpr SectorOp READ = SectorOp::Read, WRITE = SectorOp::Write;

const DiskDevice uninstalled = diskDevice;
Answers answers[PHYSICAL_DISK_COUNT];
int handles[64], opened, closed;
std::string requests;

void note(void* device, const std::string& entry)
{
    int number = int(static_cast<int*>(device) - handles);
    requests += (requests.empty() ? "" : ", ") + entry + " #" + std::to_string(number);
}

void forget()
{
    opened = closed = 0;
    requests.clear();
}

const Answers& answerOf(void* device)
{
    return answers[*static_cast<int*>(device)];
}

void* recordOpen(const char* path, bool write)
{
    int disk = std::atoi(path + std::strlen("\\\\.\\PhysicalDrive"));
    handles[++opened] = disk;
    bool named = std::strncmp(path, "\\\\.\\", 4) == 0;
    note(&handles[opened], "open " + std::string(named ? path + 4 : path) + (write ? " w" : " r"));
    return answers[disk].opens ? &handles[opened] : nullptr;
}

bool recordGeometry(void* device, DiskGeometry* geometry)
{
    note(device, "geometry");
    *geometry = answerOf(device).geometry;
    return answerOf(device).answers;
}

bool recordMove(void* device, SectorOp op, uint64_t offset, uint32_t bytes, void*)
{
    note(device, (op == READ ? "read " : "write ") + std::to_string(offset) + "+" +
                     std::to_string(bytes));
    return answerOf(device).moves;
}

void recordClose(void* device)
{
    note(device, "close");
    closed++;
}

class PhysicalDiskTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        diskDevice = {recordOpen, recordGeometry, recordMove, recordClose};
        for (Answers& answer : answers) answer = disk(512, MIB);
        forget();
        SectorIo::setMethod(AccessMethod::WinNt5);
    }
    void TearDown() override { endDiskRun(); }
    uint8_t buffer[1] = {};
};

// What is moved, if anything, between open, geometry and close.
struct TransferRow {
    Answers answer;
    SectorOp op;
    int disk;
    uint32_t count;
    SectorNumber first;
    const char* move;
};

const TransferRow TRANSFERS[] = {
    {disk(512, MIB), READ, 1, 1, 3, "read 1536+512"},
    {disk(4096, MIB), WRITE, 31, 2, 10, "write 40960+8192"},
    {disk(512, MIB), READ, 0, 1, 2047, "read 1048064+512"},  // the last sector
    {disk(512, MIB), READ, 0, 1, 2048, ""},
    {disk(512, MIB), WRITE, 0, 2, 2047, ""},
    {disk(512, MIB), READ, 0, 1, UINT64_MAX, ""},
    {disk(512, 10 * 512 + 100), READ, 0, 1, 9, "read 4608+512"},  // a partial sector at the end
    {disk(512, 10 * 512 + 100), READ, 0, 1, 10, ""},
    {disk(512, 511), READ, 0, 1, 0, ""},
    {disk(16384, MIB), READ, 0, 1, 63, "read 1032192+16384"},
    {disk(0, MIB), READ, 0, 1, 0, ""},
    {disk(768, MIB), READ, 0, 1, 0, ""},
    {disk(32768, MIB), READ, 0, 1, 0, ""},
    {cylinders(1000, 16, 63), READ, 0, 1, 1007999, "read 516095488+512"},
    {cylinders(1000, 16, 63), READ, 0, 1, 1008000, ""},
    {cylinders(-1, 1, 1, 1), READ, 0, 1, 0, ""},
    {cylinders(INT64_MAX, 16, 63), READ, 0, 1, 0, ""},
    {cylinders(1, UINT32_MAX, UINT32_MAX), READ, 0, 1, 0, ""},
    {disk(512, MIB << 20), READ, 0, 0x7FFFFF, 0, "read 0+4294966784"},  // the most bytes
    {disk(512, MIB << 20), READ, 0, 0x800000, 0, ""},
    {SILENT, READ, 0, 1, 0, ""},
    {disk(512, MIB, false), READ, 0, 1, 0, "read 0+512"},  // a short move
};

TEST_F(PhysicalDiskTest, TransfersAskOnlyInsideTheDisk)
{
    for (const TransferRow& row : TRANSFERS) {
        for (Answers& answer : answers) answer = row.answer;
        forget();
        std::string move = *row.move ? row.move + std::string(" #1, ") : "";
        EXPECT_EQ(diskTransfer(row.op, row.disk, row.count, row.first, buffer),
                  *row.move && row.answer.moves ? SECTOR_STATUS_OK : SECTOR_STATUS_FAILED)
            << row.first;
        EXPECT_EQ(requests, "open PhysicalDrive" + std::to_string(row.disk) +
                                (row.op == READ ? " r" : " w") + " #1, geometry #1, " + move +
                                "close #1");
    }
    forget();
    answers[0] = REFUSED;
    for (int disk : {0, 32, -1})
        EXPECT_EQ(diskTransfer(WRITE, disk, 1, 0, buffer), SECTOR_STATUS_FAILED);
    EXPECT_EQ(diskTransfer(SectorOp(4), 1, 1, 0, buffer), SECTOR_STATUS_FAILED);
    EXPECT_EQ(requests, "open PhysicalDrive0 w #1");
}

TEST_F(PhysicalDiskTest, ARunHoldsOneHandle)
{
    EXPECT_FALSE(beginDiskRun(READ, 2, 4096));
    ASSERT_TRUE(beginDiskRun(READ, 2, 512));
    EXPECT_EQ(diskTransfer(READ, 2, 1, 5, buffer), SECTOR_STATUS_OK);
    EXPECT_EQ(diskTransfer(READ, 2, 1, 2048, buffer), SECTOR_STATUS_FAILED);
    EXPECT_EQ(diskTransfer(WRITE, 2, 1, 5, buffer), SECTOR_STATUS_FAILED);
    EXPECT_EQ(diskTransfer(READ, 3, 1, 0, buffer), SECTOR_STATUS_OK);
    ASSERT_TRUE(beginDiskRun(WRITE, 4, 512));
    EXPECT_EQ(diskTransfer(WRITE, 4, 1, 1, buffer), SECTOR_STATUS_OK);
    endDiskRun();
    endDiskRun();
    EXPECT_EQ(diskTransfer(READ, 4, 1, 1, buffer), SECTOR_STATUS_OK);
    EXPECT_EQ(requests,
              "open PhysicalDrive2 r #1, geometry #1, close #1, "
              "open PhysicalDrive2 r #2, geometry #2, read 2560+512 #2, "
              "open PhysicalDrive3 r #3, geometry #3, read 0+512 #3, close #3, "
              "close #2, open PhysicalDrive4 w #4, geometry #4, write 512+512 #4, close #4, "
              "open PhysicalDrive4 r #5, geometry #5, read 512+512 #5, close #5");
}

TEST_F(PhysicalDiskTest, FindsTheDisksThatAnswerOnNtOnly)
{
    for (Answers& answer : answers) answer = REFUSED;
    Answers answering[] = {REFUSED, disk(512, MIB), disk(4096, 10 * 4096 + 512), SILENT,
                           disk(768, MIB), disk(512, 511), disk(512, MIB)};
    std::copy(std::begin(answering), std::end(answering), answers);
    PhysicalDisk disks[PHYSICAL_DISK_COUNT] = {};
    ASSERT_EQ(findPhysicalDisks(disks), 3);
    EXPECT_EQ(disks[0].number, 1);
    EXPECT_EQ(disks[1].number, 2);
    EXPECT_EQ(disks[1].sectorSize, 4096u);
    EXPECT_EQ(disks[1].sectorCount, 10u);
    EXPECT_EQ(disks[2].number, 6);
    EXPECT_EQ(disks[2].sectorCount, 2048u);
    EXPECT_EQ(closed, 6);
    EXPECT_EQ(requests.find(" w"), std::string::npos);

    forget();
    SectorIo::setMethod(AccessMethod::Win98);
    EXPECT_EQ(findPhysicalDisks(disks), 0);
    diskDevice = uninstalled;
    SectorIo::setMethod(AccessMethod::WinNt4);
    EXPECT_EQ(findPhysicalDisks(disks), 0);
    EXPECT_EQ(opened, 0);
}

}  // namespace
