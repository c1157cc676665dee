#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "disk/vwin32.h"

namespace {

struct Request {
    uint32_t code;
    DiocRegisters registers;
    DiskIoPacket packet;
};

std::vector<Request> requests;
uint32_t deviceError;
bool clearCarry;

uint32_t record(uint32_t code, DiocRegisters* registers)
{
    requests.push_back({code, *registers, diskIoPacket});
    if (deviceError == 0 && clearCarry) registers->flags &= ~1u;
    return deviceError;
}

class Vwin32 : public ::testing::Test {
protected:
    void SetUp() override
    {
        requests.clear();
        deviceError = 0;
        clearCarry = true;
        vwin32Device.request = record;
    }
    uint32_t packetAddress() { return uint32_t(reinterpret_cast<uintptr_t>(&diskIoPacket)); }
    uint32_t bufferAddress() { return uint32_t(reinterpret_cast<uintptr_t>(buffer)); }
    void expectLock(const Request& r, uint32_t drive, uint32_t minor)
    {
        EXPECT_EQ(r.code, 1u);
        EXPECT_EQ(r.registers.eax, 0x440Du);
        EXPECT_EQ(r.registers.ebx, 0x0100u | (drive + 1));
        EXPECT_EQ(r.registers.ecx, 0x0800u | minor);
        EXPECT_EQ(r.registers.edx, 2u);
        EXPECT_EQ(r.registers.flags, 1u);
    }
    uint8_t buffer[1024];
};

TEST_F(Vwin32, Int25And26BetweenLockAndUnlock)
{
    EXPECT_EQ(absDiskTransfer(SectorOp::Read, 0, 2, 1234, buffer), 0);
    ASSERT_EQ(requests.size(), 3u);
    expectLock(requests[0], 0, 0x4A);
    const Request& read = requests[1];
    EXPECT_EQ(read.code, 2u);
    EXPECT_EQ(read.registers.eax, 0u);  // drive A is 0 here, 1 in the lock
    EXPECT_EQ(read.registers.ebx, packetAddress());
    EXPECT_EQ(read.registers.ecx, 0xFFFFFFFFu);
    EXPECT_EQ(read.registers.flags, 1u);
    EXPECT_EQ(uint32_t(read.packet.startSector), 1234u);
    EXPECT_EQ(uint16_t(read.packet.count), 2u);
    EXPECT_EQ(uint32_t(read.packet.bufferAddress), bufferAddress());
    expectLock(requests[2], 0, 0x6A);

    requests.clear();
    EXPECT_EQ(absDiskTransfer(SectorOp::Write, 2, 1, 7, buffer), 0);
    EXPECT_EQ(requests[1].code, 3u);
    EXPECT_EQ(requests[1].registers.eax, 2u);
    expectLock(requests[0], 2, 0x4A);
}

TEST_F(Vwin32, Function7305BetweenLockAndUnlock)
{
    EXPECT_EQ(extAbsDiskTransfer(SectorOp::Write, 0, 70000, 0x80000001, buffer), 0);
    ASSERT_EQ(requests.size(), 3u);
    const Request& write = requests[1];
    EXPECT_EQ(write.code, 6u);
    EXPECT_EQ(write.registers.eax, 0x7305u);
    EXPECT_EQ(write.registers.edx, 1u);
    EXPECT_EQ(write.registers.esi, 0x6001u);
    EXPECT_EQ(write.registers.ecx, 0xFFFFFFFFu);
    EXPECT_EQ(write.registers.ebx, packetAddress());
    EXPECT_EQ(uint16_t(write.packet.count), uint16_t(70000 & 0xFFFF));  // cut to 16 bits
    EXPECT_EQ(uint32_t(write.packet.startSector), 0x80000001u);
    expectLock(requests[0], 0, 0x4A);
    expectLock(requests[2], 0, 0x6A);

    requests.clear();
    extAbsDiskTransfer(SectorOp::Read, 3, 1, 0, buffer);
    EXPECT_EQ(requests[1].registers.esi, 0u);
    EXPECT_EQ(requests[1].registers.edx, 4u);
}

// Neither another operation nor a sector past the packet's 32 bits reaches
// the device; the last sector 32 bits hold does.
TEST_F(Vwin32, OtherOperationsAndSectorsPast32BitsTouchNothing)
{
    EXPECT_EQ(extAbsDiskTransfer(static_cast<SectorOp>(4), 0, 1, 0, buffer), -1);
    EXPECT_EQ(absDiskTransfer(SectorOp::Read, 0, 1, 0x100000000u, buffer), SECTOR_STATUS_FAILED);
    EXPECT_EQ(extAbsDiskTransfer(SectorOp::Write, 0, 2, 0xFFFFFFFFu, buffer),
              SECTOR_STATUS_FAILED);
    EXPECT_TRUE(requests.empty());
    EXPECT_EQ(extAbsDiskTransfer(SectorOp::Read, 0, 1, 0xFFFFFFFFu, buffer), 0);
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(requests[1].packet.startSector, 0xFFFFFFFFu);
}

TEST_F(Vwin32, CarryAndDeviceErrorsBecomeTheStatus)
{
    clearCarry = false;  // a device that leaves the preset carry
    EXPECT_EQ(absDiskTransfer(SectorOp::Read, 0, 1, 0, buffer), 997);
    EXPECT_EQ(requests.size(), 3u);
    deviceError = 2;  // the device cannot be opened
    requests.clear();
    EXPECT_EQ(extAbsDiskTransfer(SectorOp::Read, 0, 1, 0, buffer), 2);
    EXPECT_EQ(requests.size(), 3u);  // the failed lock does not stop the transfer
    DiocRegisters registers = {};
    EXPECT_EQ(vwin32Call(1, registers), 2);
}

TEST(DiskIoPacketLayout, IsPackedLittleEndian)
{
    DiskIoPacket packet = {0x04030201, 0x0605, 0x0A090807};
    uint8_t bytes[10];
    std::memcpy(bytes, &packet, 10);
    for (int i = 0; i < 10; i++) EXPECT_EQ(bytes[i], i + 1);
}

}  // namespace
