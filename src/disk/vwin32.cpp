#include "disk/vwin32.h"

#include <cstdint>

Vwin32Device vwin32Device;
DiskIoPacket diskIoPacket;

namespace {

constexpr uint32_t CARRY = 1;
constexpr uint32_t USE_PACKET = 0xFFFFFFFF;  // CX = FFFFh: the request is in the packet
constexpr uint32_t EXT_WRITE_NORMAL_DATA = 0x6001;

// Registers are 32 bits wide: the addresses are meaningful on Windows 95/98,
// whose addresses all fit.
uint32_t address(const void* pointer)
{
    return uint32_t(reinterpret_cast<uintptr_t>(pointer));
}

bool fitsPacket(uint32_t count, SectorNumber firstSector)
{
    return firstSector <= 0xFFFFFFFFu && firstSector + count <= 0x100000000u;
}

void fillPacket(uint32_t count, SectorNumber firstSector, void* buffer)
{
    diskIoPacket.startSector = uint32_t(firstSector);
    diskIoPacket.count = uint16_t(count);
    diskIoPacket.bufferAddress = address(buffer);
}

}  // namespace

int vwin32Call(uint32_t controlCode, DiocRegisters& registers)
{
    uint32_t error = vwin32Device.request(controlCode, &registers);
    if (error != 0) return int(error);
    return (registers.flags & CARRY) ? VWIN32_STATUS_CARRY : 0;
}

int vwin32LockVolume(int drive, uint32_t minorCode)
{
    DiocRegisters registers = {};
    registers.eax = 0x440D;
    registers.ebx = 0x0100 | uint32_t(drive + 1);  // lock level 1, drive A = 1
    registers.ecx = 0x0800 | minorCode;           // disk drive category
    registers.edx = 2;
    registers.flags = CARRY;
    return vwin32Call(VWIN32_DIOC_DOS_IOCTL, registers);
}

int absDiskTransfer(SectorOp op, int drive, uint32_t count, SectorNumber firstSector,
                    void* buffer)
{
    if (!fitsPacket(count, firstSector)) return SECTOR_STATUS_FAILED;
    fillPacket(count, firstSector, buffer);
    vwin32LockVolume(drive, VWIN32_LOCK);
    DiocRegisters registers = {};
    registers.eax = uint32_t(drive);  // INT 25h/26h count drive A as 0
    registers.ebx = address(&diskIoPacket);
    registers.ecx = USE_PACKET;
    registers.flags = CARRY;
    int status = vwin32Call(uint32_t(op), registers);
    vwin32LockVolume(drive, VWIN32_UNLOCK);
    return status;
}

int extAbsDiskTransfer(SectorOp op, int drive, uint32_t count, SectorNumber firstSector,
                       void* buffer)
{
    if (op != SectorOp::Read && op != SectorOp::Write) return -1;
    if (!fitsPacket(count, firstSector)) return SECTOR_STATUS_FAILED;
    fillPacket(count, firstSector, buffer);
    vwin32LockVolume(drive, VWIN32_LOCK);
    DiocRegisters registers = {};
    registers.eax = 0x7305;
    registers.ebx = address(&diskIoPacket);
    registers.ecx = USE_PACKET;
    registers.edx = uint32_t(drive + 1);
    registers.esi = op == SectorOp::Write ? EXT_WRITE_NORMAL_DATA : 0;
    registers.flags = CARRY;
    int status = vwin32Call(VWIN32_DIOC_DOS_DRIVEINFO, registers);
    vwin32LockVolume(drive, VWIN32_UNLOCK);
    return status;
}
