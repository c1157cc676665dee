#pragma once
#include "disk/sector_io.h"

int ntTransfer(SectorOp op, int drive, uint32_t count, uint32_t firstSector, void* buffer);
int absDiskTransfer(SectorOp op, int drive, uint32_t count, uint32_t firstSector, void* buffer);
int extAbsDiskTransfer(SectorOp op, int drive, uint32_t count, uint32_t firstSector, void* buffer);

constexpr SectorRoutes WIN32_SECTOR_ROUTES = {ntTransfer, absDiskTransfer, extAbsDiskTransfer};
