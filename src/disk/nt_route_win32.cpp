#include <windows.h>
#include <winioctl.h>

#include <cstdio>

#include "disk/device_io_win32.h"
#include "disk/drive_root.h"
#include "disk/sector_routes_win32.h"

namespace {

// A mounted volume is commonly held open for reading by the system, which a
// write-only share refuses. A handle that writes goes through to the device:
// a restore reads back what the device holds, not what a cache kept.
HANDLE openVolume(const char* path, DWORD access)
{
    DWORD flags = FILE_ATTRIBUTE_NORMAL | (access & GENERIC_WRITE ? FILE_FLAG_WRITE_THROUGH : 0);
    HANDLE device =
        CreateFileA(path, access, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, flags, nullptr);
    if (device != INVALID_HANDLE_VALUE || GetLastError() != ERROR_SHARING_VIOLATION) return device;
    return CreateFileA(path, access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                       flags, nullptr);
}

constexpr uint32_t DEFAULT_SECTOR_SIZE = 512;

// RAM disks and other virtual volumes (and Wine) answer no geometry: then the
// volume's own bytes per sector serve, and where the system cannot read the
// volume either (a damaged boot sector), the common 512.
uint32_t sectorSizeOf(HANDLE device, int drive)
{
    DISK_GEOMETRY geometry = {};
    DWORD returned = 0;
    if (DeviceIoControl(device, IOCTL_DISK_GET_DRIVE_GEOMETRY, nullptr, 0, &geometry,
                        sizeof geometry, &returned, nullptr) &&
        geometry.BytesPerSector != 0)
        return geometry.BytesPerSector;
    DWORD sectorsPerCluster, bytesPerSector = 0, freeClusters, totalClusters;
    if (!GetDiskFreeSpaceA(driveRoot(drive).path, &sectorsPerCluster, &bytesPerSector, &freeClusters,
                           &totalClusters) ||
        bytesPerSector == 0)
        return DEFAULT_SECTOR_SIZE;
    return bytesPerSector;
}

// The device's length in bytes; where it answers none (before Windows 2000,
// and Wine), the end position of the handle.
uint64_t lengthOf(HANDLE device)
{
    GET_LENGTH_INFORMATION length = {};
    DWORD returned = 0;
    if (DeviceIoControl(device, IOCTL_DISK_GET_LENGTH_INFO, nullptr, 0, &length, sizeof length,
                        &returned, nullptr))
        return uint64_t(length.Length.QuadPart);
    LONG high = 0;
    SetLastError(NO_ERROR);
    DWORD low = SetFilePointer(device, 0, &high, FILE_END);
    if (low == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR) return 0;
    return uint64_t(DWORD(high)) << 32 | low;
}

// The byte count must fit ReadFile's 32 bits, and the offset 64 bits.
bool seekSectors(HANDLE device, uint32_t sectorSize, uint32_t count, SectorNumber firstSector)
{
    return uint64_t(sectorSize) * count <= 0xFFFFFFFFu &&
           firstSector <= UINT64_MAX / sectorSize &&
           seekDevice(device, firstSector * sectorSize);
}

bool moveSectors(HANDLE device, SectorOp op, uint32_t sectorSize, uint32_t count,
                 SectorNumber firstSector, void* buffer)
{
    return seekSectors(device, sectorSize, count, firstSector) &&
           moveDeviceBytes(device, op, sectorSize * count, buffer);
}

// Past its end a device reads no bytes (Wine) or finds no sector (Windows).
// Any other failure is a sector there that cannot be read, which a failing
// drive may have anywhere: taken for the end, it would cut the drive short.
bool isPastEnd(HANDLE device, uint32_t sectorSize, SectorNumber number, uint8_t* sector)
{
    if (!seekSectors(device, sectorSize, 1, number)) return true;
    DWORD done = 0;
    if (ReadFile(device, sector, sectorSize, &done, nullptr)) return done < sectorSize;
    DWORD error = GetLastError();
    return error == ERROR_SECTOR_NOT_FOUND || error == ERROR_INVALID_PARAMETER ||
           error == ERROR_HANDLE_EOF;
}

// Where the device answers no length at all (Wine's loop devices), its end
// is found by reading: doubling until a sector lies past it, then halving
// the gap. A device whose first sector cannot be read has no size.
uint64_t readableSectors(HANDLE device, uint32_t sectorSize)
{
    alignas(SECTOR_BUFFER_ALIGNMENT) static uint8_t sector[IMAGE_BUFFER_SIZE];
    if (sectorSize > sizeof sector) return 0;
    if (!moveSectors(device, SectorOp::Read, sectorSize, 1, 0, sector)) return 0;
    auto present = [&](SectorNumber number) {
        return !isPastEnd(device, sectorSize, number, sector);
    };
    uint64_t last = 0, past = 1;
    while (present(past)) {
        last = past;
        past *= 2;
    }
    while (past - last > 1) {
        uint64_t middle = last + (past - last) / 2;
        if (present(middle))
            last = middle;
        else
            past = middle;
    }
    return last + 1;
}

void control(HANDLE device, DWORD code)
{
    DWORD returned = 0;
    DeviceIoControl(device, code, nullptr, 0, nullptr, 0, &returned, nullptr);
}

HANDLE openDrive(SectorOp op, int drive)
{
    char path[8];
    std::snprintf(path, sizeof path, "\\\\.\\%c:", 'A' + drive);
    return openVolume(path, op == SectorOp::Write ? GENERIC_READ | GENERIC_WRITE : GENERIC_READ);
}

// The volume an image run holds open (and locked, unless it only reads
// without a lock) between its transfers.
struct VolumeHold {
    HANDLE device;
    int drive;
    uint32_t sectorSize;
    bool locked;
};

VolumeHold hold = {INVALID_HANDLE_VALUE, -1, 0, false};

}  // namespace

// Outside a run: geometry, seek, lock, transfer, unlock, close. A lock
// refused (files open on the volume) leaves the transfer to go ahead
// unlocked; only the byte count decides.
int ntTransfer(SectorOp op, int drive, uint32_t count, SectorNumber firstSector, void* buffer)
{
    if (hold.device != INVALID_HANDLE_VALUE && hold.drive == drive)
        return moveSectors(hold.device, op, hold.sectorSize, count, firstSector, buffer)
                   ? SECTOR_STATUS_OK
                   : SECTOR_STATUS_FAILED;
    HANDLE device = openDrive(op, drive);
    if (device == INVALID_HANDLE_VALUE) return SECTOR_STATUS_FAILED;
    uint32_t sectorSize = sectorSizeOf(device, drive);
    bool done = seekSectors(device, sectorSize, count, firstSector);
    if (done) {
        control(device, FSCTL_LOCK_VOLUME);
        done = moveDeviceBytes(device, op, sectorSize * count, buffer);
        control(device, FSCTL_UNLOCK_VOLUME);
    }
    CloseHandle(device);
    return done ? SECTOR_STATUS_OK : SECTOR_STATUS_FAILED;
}

// A transfer sized for other sectors than the device's would overrun the
// caller's buffer: such a device fails the run before its first transfer.
bool beginNtRun(SectorOp op, int drive, uint32_t sectorSize, bool lock)
{
    endNtRun(false);
    HANDLE device = openDrive(op, drive);
    if (device == INVALID_HANDLE_VALUE) return false;
    if (sectorSizeOf(device, drive) != sectorSize) {
        CloseHandle(device);
        return false;
    }
    if (lock) control(device, FSCTL_LOCK_VOLUME);
    hold = {device, drive, sectorSize, lock};
    return true;
}

void endNtRun(bool dismount)
{
    if (hold.device == INVALID_HANDLE_VALUE) return;
    if (dismount) control(hold.device, FSCTL_DISMOUNT_VOLUME);
    if (hold.locked) control(hold.device, FSCTL_UNLOCK_VOLUME);
    CloseHandle(hold.device);
    hold = {INVALID_HANDLE_VALUE, -1, 0, false};
}

bool queryNtDevice(int drive, uint32_t* sectorSize, uint64_t* sectorCount)
{
    HANDLE device = openDrive(SectorOp::Read, drive);
    if (device == INVALID_HANDLE_VALUE) return false;
    *sectorSize = sectorSizeOf(device, drive);
    *sectorCount = lengthOf(device) / *sectorSize;
    if (*sectorCount == 0) *sectorCount = readableSectors(device, *sectorSize);
    CloseHandle(device);
    return *sectorCount != 0;
}
