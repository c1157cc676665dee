#include "disk/sector_run.h"

#include <algorithm>
#include <cstdlib>

#include "platform/platform.h"

uint32_t runChunkSectors(uint32_t bytesPerSector)
{
    uint32_t chunk = bytesPerSector == 0 ? 0 : SectorIo::runTransferBytes() / bytesPerSector;
    return std::max<uint32_t>(chunk, 1);
}

// Aligned by hand in a larger block: the library's aligned allocation would
// bring in an import Windows 95 and NT 4 lack.
RunBuffer::RunBuffer(uint32_t size)
    : bytes(nullptr), block(std::malloc(size_t(size) + SECTOR_BUFFER_ALIGNMENT))
{
    if (block == nullptr) return;
    uintptr_t at = reinterpret_cast<uintptr_t>(block) + SECTOR_BUFFER_ALIGNMENT - 1;
    bytes = reinterpret_cast<uint8_t*>(at - at % SECTOR_BUFFER_ALIGNMENT);
}

RunBuffer::~RunBuffer()
{
    std::free(block);
}

void showRunProgress(RunProgress& progress, SectorNumber done, SectorNumber count)
{
    // done × 100 would pass 64 bits on a count that large.
    int percent = int(count <= UINT64_MAX / 100 ? done * 100 / count : done / (count / 100));
    if (percent == progress.shown) return;
    progress.shown = percent;
    platform.showProgress(percent);
}

