#pragma once
#include <cstdint>

#include "disk/sector_io.h"
#include "disk/source.h"

// What a disk answers of its size. Windows XP and later give its length in
// bytes; NT 4 and 2000 only cylinders, tracks and sectors, whose product may
// fall short of the disk's end but never lies past it.
struct DiskGeometry {
    uint32_t bytesPerSector;
    uint64_t diskBytes;  // 0: unknown, the cylinders tell
    int64_t cylinders;
    uint32_t tracksPerCylinder;
    uint32_t sectorsPerTrack;
};

// The seam to \\.\PhysicalDriveN. `open` answers null when refused;
// `geometry` false when the device answers none; `move` seeks to `offset`
// then moves exactly `bytes`, false for a refused seek or a short transfer.
struct DiskDevice {
    void* (*open)(const char* path, bool write);
    bool (*geometry)(void* device, DiskGeometry* geometry);
    bool (*move)(void* device, SectorOp op, uint64_t offset, uint32_t bytes, void* buffer);
    void (*close)(void* device);
};

extern DiskDevice diskDevice;

// Moves `count` sectors of the device's size from `firstSector` of disk
// `disk` (0 to PHYSICAL_DISK_COUNT - 1): SECTOR_STATUS_OK when every byte
// moved. Nothing outside the disk is asked for.
int diskTransfer(SectorOp op, int disk, uint32_t count, SectorNumber firstSector, void* buffer);

// Holds `disk` open for many transfers, opened for writing when `op` is
// Write; false when it cannot be opened or its sectors are not `sectorSize`
// bytes. A run begun ends the one before.
bool beginDiskRun(SectorOp op, int disk, uint32_t sectorSize);
void endDiskRun();

bool queryDisk(int disk, uint32_t* sectorSize, uint64_t* sectorCount);

struct PhysicalDisk {
    int32_t number;
    uint32_t sectorSize;
    uint64_t sectorCount;
};

// The disks that answer a usable geometry, in the order of their numbers:
// how many. None on Windows 95/98, whose access methods have no such disks.
int32_t findPhysicalDisks(PhysicalDisk (&disks)[PHYSICAL_DISK_COUNT]);
