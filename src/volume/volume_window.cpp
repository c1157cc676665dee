#include "volume/volume_window.h"

#include <cstring>

#include "disk/sector_io.h"

namespace {

// A partition's boot sector is as hostile as a drive's, and its fields
// never reach past the partition.
bool fitsPartition(const VolumeLayout& layout, const Partition& partition, uint32_t sectorSize)
{
    return layout.areasInOrder && layout.totalSectors != 0 &&
           layout.totalSectors <= partition.sectorCount && layout.bytesPerSector == sectorSize;
}

}  // namespace

void openVolumeWindow(Source source, const PartitionTable& table, const VolumeLayout& whole,
                      bool wholeHasAreas, SectorNumber sector, VolumeWindow& window)
{
    window = {0, -1, whole, wholeHasAreas};
    int32_t index = table.isDisk ? partitionHolding(table, sector) : -1;
    if (index < 0) return;
    const Partition& partition = table.entries[index];
    // A boot sector that cannot be read leaves the partition's other sectors
    // to be shown, without areas: the repair may be of that very sector.
    alignas(SECTOR_BUFFER_ALIGNMENT) uint8_t boot[IMAGE_BUFFER_SIZE] = {};
    bool read = SectorIo::transfer(SectorOp::Read, source, 1, partition.firstSector, boot) ==
                SECTOR_STATUS_OK;
    bool isNtfs = std::memcmp(boot + 3, "NTFS    ", 8) == 0;
    VolumeLayout layout = parseBootSector(boot, isNtfs);
    bool fits = read && !isNtfs && fitsPartition(layout, partition, table.sectorSize);
    if (!fits) {
        layout = VolumeLayout{};
        layout.bytesPerSector = table.sectorSize;
        layout.totalSectors = partition.sectorCount;
    }
    window = {partition.firstSector, index, layout, fits};
}
