#pragma once
#include <cstdint>

#include "disk/sector_io.h"

// Sectors per transfer of a run on the route in use: as many as fit
// its transfer size, never 0. A run moves whole chunks of this many, and a
// shorter last one where its count ends.
uint32_t runChunkSectors(uint32_t bytesPerSector);

// The transfer buffer of one run: aligned for the device, off the stack.
// `bytes` is null when the memory could not be had.
struct RunBuffer {
    explicit RunBuffer(uint32_t size);
    ~RunBuffer();
    RunBuffer(const RunBuffer&) = delete;
    RunBuffer& operator=(const RunBuffer&) = delete;
    uint8_t* bytes;
    void* block;  // what was allocated
};

// The whole percentage of a run, exact for runs of any length; the bar
// changes only when it does.
struct RunProgress {
    int shown = -1;
};
void showRunProgress(RunProgress& progress, SectorNumber done, SectorNumber count);

