#include "disk/physical_disk_win32.h"

#include <windows.h>
#include <winioctl.h>

#include <cstddef>

#include "disk/device_io_win32.h"
#include "disk/physical_disk.h"

namespace {

// Volumes on the disk stay mounted and in use: sharing both ways lets the
// disk open beside them.
void* openDisk(const char* path, bool write)
{
    HANDLE device = CreateFileA(path, write ? GENERIC_READ | GENERIC_WRITE : GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    return device == INVALID_HANDLE_VALUE ? nullptr : device;
}

void copyGeometry(const DISK_GEOMETRY& from, DiskGeometry* to)
{
    to->bytesPerSector = from.BytesPerSector;
    to->cylinders = from.Cylinders.QuadPart;
    to->tracksPerCylinder = from.TracksPerCylinder;
    to->sectorsPerTrack = from.SectorsPerTrack;
}

// The length comes with the geometry from Windows XP on; NT 4 and 2000 know
// only the older request, and the core counts the cylinders.
bool geometryOf(void* device, DiskGeometry* geometry)
{
    DISK_GEOMETRY_EX extended = {};
    DWORD returned = 0;
    if (DeviceIoControl(device, IOCTL_DISK_GET_DRIVE_GEOMETRY_EX, nullptr, 0, &extended,
                        sizeof extended, &returned, nullptr) &&
        returned >= offsetof(DISK_GEOMETRY_EX, Data)) {
        copyGeometry(extended.Geometry, geometry);
        geometry->diskBytes = uint64_t(extended.DiskSize.QuadPart);
        return true;
    }
    DISK_GEOMETRY older = {};
    if (!DeviceIoControl(device, IOCTL_DISK_GET_DRIVE_GEOMETRY, nullptr, 0, &older, sizeof older,
                         &returned, nullptr) ||
        returned < sizeof older)
        return false;
    copyGeometry(older, geometry);
    geometry->diskBytes = 0;
    return true;
}

bool moveDisk(void* device, SectorOp op, uint64_t offset, uint32_t bytes, void* buffer)
{
    return seekDevice(device, offset) && moveDeviceBytes(device, op, bytes, buffer);
}

void closeDisk(void* device)
{
    CloseHandle(device);
}

}  // namespace

void installDiskDevice()
{
    diskDevice = {openDisk, geometryOf, moveDisk, closeDisk};
}
