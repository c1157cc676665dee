#include "disk/physical_disk.h"

#include <cstdio>

namespace {

// Until the platform installs its device, every disk is refused.
void* refuse(const char*, bool)
{
    return nullptr;
}

struct DiskShape {
    uint32_t sectorSize;
    uint64_t sectorCount;
};

// The disk a run holds open between its transfers.
struct DiskHold {
    void* device;
    int disk;
    bool write;
    DiskShape shape;
};

constexpr DiskHold NO_HOLD = {nullptr, -1, false, {0, 0}};
DiskHold hold = NO_HOLD;

void* openDisk(int disk, bool write)
{
    if (disk < 0 || disk >= PHYSICAL_DISK_COUNT) return nullptr;
    char path[24];
    std::snprintf(path, sizeof path, "\\\\.\\PhysicalDrive%d", disk);
    return diskDevice.open(path, write);
}

// Cylinders × tracks × sectors from a driver is input like any other: a
// negative or overflowing product is no size at all. A track's bytes fit 64
// bits whatever its 32-bit count, the sector size being checked first.
uint64_t diskBytesOf(const DiskGeometry& geometry)
{
    if (geometry.diskBytes != 0) return geometry.diskBytes;
    uint64_t bytes = uint64_t(geometry.sectorsPerTrack) * geometry.bytesPerSector;
    if (geometry.cylinders < 0 ||
        __builtin_mul_overflow(bytes, geometry.tracksPerCylinder, &bytes) ||
        __builtin_mul_overflow(bytes, uint64_t(geometry.cylinders), &bytes))
        return 0;
    return bytes;
}

// A sector larger than the editor's buffers would overrun them, and one not
// a power of two is a driver's nonsense. A partial sector at the end is no
// sector: the count rounds down.
bool shapeOf(void* device, DiskShape* shape)
{
    DiskGeometry geometry = {};
    if (!diskDevice.geometry(device, &geometry)) return false;
    uint32_t size = geometry.bytesPerSector;
    if (size == 0 || (size & (size - 1)) != 0 || size > IMAGE_BUFFER_SIZE) return false;
    *shape = {size, diskBytesOf(geometry) / size};
    return shape->sectorCount != 0;
}

bool moveSectors(void* device, const DiskShape& shape, SectorOp op, uint32_t count,
                 SectorNumber firstSector, void* buffer)
{
    uint64_t bytes = uint64_t(count) * shape.sectorSize;
    if (firstSector > shape.sectorCount || count > shape.sectorCount - firstSector ||
        bytes > UINT32_MAX)
        return false;
    return diskDevice.move(device, op, firstSector * shape.sectorSize, uint32_t(bytes), buffer);
}

// A held handle opened for reading serves no write.
bool moveHeld(SectorOp op, uint32_t count, SectorNumber firstSector, void* buffer)
{
    return (op == SectorOp::Read || hold.write) &&
           moveSectors(hold.device, hold.shape, op, count, firstSector, buffer);
}

bool moveOnce(SectorOp op, int disk, uint32_t count, SectorNumber firstSector, void* buffer)
{
    void* device = openDisk(disk, op == SectorOp::Write);
    if (device == nullptr) return false;
    DiskShape shape = {};
    bool done = shapeOf(device, &shape) &&
                moveSectors(device, shape, op, count, firstSector, buffer);
    diskDevice.close(device);
    return done;
}

}  // namespace

DiskDevice diskDevice = {refuse, nullptr, nullptr, nullptr};

int diskTransfer(SectorOp op, int disk, uint32_t count, SectorNumber firstSector, void* buffer)
{
    if (op != SectorOp::Read && op != SectorOp::Write) return SECTOR_STATUS_FAILED;
    bool done = hold.device != nullptr && hold.disk == disk
                    ? moveHeld(op, count, firstSector, buffer)
                    : moveOnce(op, disk, count, firstSector, buffer);
    return done ? SECTOR_STATUS_OK : SECTOR_STATUS_FAILED;
}

// A transfer sized for other sectors than the disk's would overrun the
// caller's buffer: such a disk fails the run before its first transfer.
bool beginDiskRun(SectorOp op, int disk, uint32_t sectorSize)
{
    endDiskRun();
    bool write = op == SectorOp::Write;
    void* device = openDisk(disk, write);
    if (device == nullptr) return false;
    DiskShape shape = {};
    if (!shapeOf(device, &shape) || shape.sectorSize != sectorSize) {
        diskDevice.close(device);
        return false;
    }
    hold = {device, disk, write, shape};
    return true;
}

void endDiskRun()
{
    if (hold.device == nullptr) return;
    diskDevice.close(hold.device);
    hold = NO_HOLD;
}

bool queryDisk(int disk, uint32_t* sectorSize, uint64_t* sectorCount)
{
    void* device = openDisk(disk, false);
    if (device == nullptr) return false;
    DiskShape shape = {};
    bool known = shapeOf(device, &shape);
    diskDevice.close(device);
    *sectorSize = shape.sectorSize;
    *sectorCount = shape.sectorCount;
    return known;
}

int32_t findPhysicalDisks(PhysicalDisk (&disks)[PHYSICAL_DISK_COUNT])
{
    AccessMethod method = SectorIo::method();
    if (method != AccessMethod::WinNt4 && method != AccessMethod::WinNt5) return 0;
    int32_t found = 0;
    for (int32_t number = 0; number < PHYSICAL_DISK_COUNT; number++) {
        PhysicalDisk& disk = disks[found];
        if (!queryDisk(number, &disk.sectorSize, &disk.sectorCount)) continue;
        disk.number = number;
        found++;
    }
    return found;
}
