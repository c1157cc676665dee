#pragma once
#include "disk/sector_io.h"
#include "disk/physical_disk.h"
#include "disk/vwin32.h"

// Windows NT: the volume device of the drive letter, per transfer or held for a run.
int ntTransfer(SectorOp op, int drive, uint32_t count, SectorNumber firstSector, void* buffer);
bool beginNtRun(SectorOp op, int drive, uint32_t sectorSize, bool lock);
void endNtRun(bool dismount);
bool queryNtDevice(int drive, uint32_t* sectorSize, uint64_t* sectorCount);

// An image file shown as a drive, on any Windows.
void* openImageFile(const char* path, uint64_t* length, bool* readOnly);
void closeImageFile(void* file);
int transferImageFile(void* file, SectorOp op, uint64_t offset, uint32_t bytes, void* buffer);

// Windows 95/98: points the VWIN32 routes at the real device.
void installVwin32Device();

constexpr SectorRoutes WIN32_SECTOR_ROUTES = {
    ntTransfer,    absDiskTransfer, extAbsDiskTransfer, beginNtRun,   endNtRun,   queryNtDevice,
    openImageFile, closeImageFile,  transferImageFile,  diskTransfer, beginDiskRun, endDiskRun,
    queryDisk};
