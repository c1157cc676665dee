#pragma once
#include <cstdint>

#include "disk/source.h"
#include "volume/boot_sector.h"
#include "volume/partition_table.h"

// The volume the areas and clusters are read from: on a whole disk the
// usable partition holding the shown sector, else the whole source.
struct VolumeWindow {
    SectorNumber firstSector;  // where the layout's sector 0 lies on the source
    int32_t partition;         // its index in the partition table, -1 for the whole source
    VolumeLayout layout;       // counted from firstSector
    bool hasAreas;             // FAT areas in order: the area jumps and clusters go by them
};

// The window of `sector` on a source whose partitions `table` lists (none
// when it is no disk): `whole` is the source's own layout, with its areas
// when `wholeHasAreas`. A partition's boot sector is read and trusted only
// where its volume fits the partition.
void openVolumeWindow(Source source, const PartitionTable& table, const VolumeLayout& whole, bool wholeHasAreas,
                      SectorNumber sector, VolumeWindow& window);
