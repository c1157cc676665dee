#pragma once
#include <cstdint>

#include "disk/sector_io.h"

// The VWIN32 DIOC register block: input and output of every request.
struct DiocRegisters {
    uint32_t ebx;
    uint32_t edx;
    uint32_t ecx;
    uint32_t eax;
    uint32_t edi;
    uint32_t esi;
    uint32_t flags;  // bit 0: the DOS carry flag
};

// The DOS DISKIO packet, packed: start sector, count, buffer address.
#pragma pack(push, 1)
struct DiskIoPacket {
    uint32_t startSector;
    uint16_t count;
    uint32_t bufferAddress;
};
#pragma pack(pop)
static_assert(sizeof(DiskIoPacket) == 10, "DISKIO is 10 bytes");
static_assert(sizeof(DiocRegisters) == 28, "DIOC_REGISTERS is 28 bytes");

constexpr uint32_t VWIN32_DIOC_DOS_IOCTL = 1;
constexpr uint32_t VWIN32_DIOC_DOS_INT25 = 2;
constexpr uint32_t VWIN32_DIOC_DOS_INT26 = 3;
constexpr uint32_t VWIN32_DIOC_DOS_DRIVEINFO = 6;
constexpr uint32_t VWIN32_LOCK = 0x4A;
constexpr uint32_t VWIN32_UNLOCK = 0x6A;
constexpr int VWIN32_STATUS_CARRY = 997;

// The seam: one request to the device, opened and closed around it. 0, or
// the system error code of the failed open or DeviceIoControl.
struct Vwin32Device {
    uint32_t (*request)(uint32_t controlCode, DiocRegisters* registers);
};

extern Vwin32Device vwin32Device;
// The packet of the transfer in progress; its address travels in a register.
extern DiskIoPacket diskIoPacket;

int vwin32Call(uint32_t controlCode, DiocRegisters& registers);
int vwin32LockVolume(int drive, uint32_t minorCode);
// INT 25h and 26h address 32-bit sector numbers: a transfer past them fails
// before anything is sent.
int absDiskTransfer(SectorOp op, int drive, uint32_t count, SectorNumber firstSector,
                    void* buffer);
int extAbsDiskTransfer(SectorOp op, int drive, uint32_t count, SectorNumber firstSector,
                       void* buffer);
