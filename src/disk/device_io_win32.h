#pragma once
#include <windows.h>

#include <cstdint>

#include "disk/sector_io.h"

// A refused seek leaves the position where it was, on a handle just opened
// the first byte, where the boot sector or the partition table lies: no
// transfer may follow it.
bool seekDevice(HANDLE device, uint64_t offset);
// Exactly `bytes` at the device's position, or a failure.
bool moveDeviceBytes(HANDLE device, SectorOp op, uint32_t bytes, void* buffer);
