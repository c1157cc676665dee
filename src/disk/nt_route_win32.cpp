#include <windows.h>
#include <winioctl.h>

#include <cstdio>

#include "disk/drive_root.h"
#include "disk/sector_routes_win32.h"

namespace {

// A mounted volume is commonly held open for reading by the system, which a
// write-only share refuses.
HANDLE openVolume(const char* path, DWORD access)
{
    HANDLE device = CreateFileA(path, access, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (device != INVALID_HANDLE_VALUE || GetLastError() != ERROR_SHARING_VIOLATION) return device;
    return CreateFileA(path, access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

// RAM disks and other virtual volumes (and Wine) answer no geometry: then the
// volume's own bytes per sector serve. 0 when neither is known.
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
                           &totalClusters))
        return 0;
    return bytesPerSector;
}

// A refused seek leaves the position where it was, at the volume's first
// byte: a transfer after it would read or overwrite the boot sector.
bool seekTo(HANDLE device, uint64_t offset)
{
    LONG high = LONG(offset >> 32);
    SetLastError(NO_ERROR);
    DWORD low = SetFilePointer(device, LONG(offset & 0xFFFFFFFFu), &high, FILE_BEGIN);
    if (low == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR) return false;
    return (uint64_t(DWORD(high)) << 32 | low) == offset;
}

// Seek, lock, transfer, unlock. The sector number is unsigned: a sector at or
// past 2^31 lies past 1 TiB of a 512-byte-sector volume, not before its start.
bool transferAt(HANDLE device, SectorOp op, uint32_t sectorSize, uint32_t count,
                uint32_t firstSector, void* buffer)
{
    uint64_t bytes = uint64_t(sectorSize) * count;
    if (bytes > 0xFFFFFFFFu) return false;
    if (!seekTo(device, uint64_t(firstSector) * sectorSize)) return false;
    DWORD returned = 0, done = 0;
    DeviceIoControl(device, FSCTL_LOCK_VOLUME, nullptr, 0, nullptr, 0, &returned, nullptr);
    if (op == SectorOp::Read)
        ReadFile(device, buffer, DWORD(bytes), &done, nullptr);
    else
        WriteFile(device, buffer, DWORD(bytes), &done, nullptr);
    DeviceIoControl(device, FSCTL_UNLOCK_VOLUME, nullptr, 0, nullptr, 0, &returned, nullptr);
    return done == bytes;
}

}  // namespace

int ntTransfer(SectorOp op, int drive, uint32_t count, uint32_t firstSector, void* buffer)
{
    char path[8];
    std::snprintf(path, sizeof path, "\\\\.\\%c:", 'A' + drive);
    DWORD access = op == SectorOp::Write ? GENERIC_READ | GENERIC_WRITE : GENERIC_READ;
    HANDLE device = openVolume(path, access);
    if (device == INVALID_HANDLE_VALUE) return SECTOR_STATUS_FAILED;
    uint32_t sectorSize = sectorSizeOf(device, drive);
    bool done = sectorSize != 0 && transferAt(device, op, sectorSize, count, firstSector, buffer);
    CloseHandle(device);
    return done ? SECTOR_STATUS_OK : SECTOR_STATUS_FAILED;
}
