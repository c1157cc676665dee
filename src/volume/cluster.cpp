#include "volume/cluster.h"

#include <algorithm>

namespace {

constexpr uint32_t ENTRY_CLUSTER_HIGH = 20;
constexpr uint32_t ENTRY_CLUSTER_LOW = 26;

uint32_t word(const uint8_t* bytes)
{
    return uint32_t(bytes[0] | bytes[1] << 8);
}

}  // namespace

uint32_t highestCluster(const VolumeLayout& layout)
{
    if (layout.fatType != 32) return layout.dataSectors / layout.sectorsPerCluster + 1;
    SectorNumber total = layout.totalSectors, start = layout.dataStart;
    SectorNumber highest = (total > start ? total - start : 0) / layout.sectorsPerCluster + 1;
    return uint32_t(std::min<SectorNumber>(highest, 0xFFFFFFFFu));
}

SectorNumber clusterFirstSector(const VolumeLayout& layout, uint32_t cluster)
{
    return layout.dataStart + SectorNumber(cluster - 2) * layout.sectorsPerCluster;
}

uint32_t clusterOfSector(const VolumeLayout& layout, SectorNumber sector)
{
    return uint32_t((sector - layout.dataStart) / layout.sectorsPerCluster + 2);
}

// The first sector is checked in 64 bits too: a damaged boot sector can put
// the data area's clusters past the volume's end, or wrap them to its start.
bool isClusterInVolume(const VolumeLayout& layout, uint32_t cluster)
{
    if (layout.sectorsPerCluster == 0 || layout.fatCount == 0) return false;
    if (cluster < 2 || cluster > highestCluster(layout)) return false;
    uint64_t first = layout.dataStart + uint64_t(cluster - 2) * layout.sectorsPerCluster;
    return first < layout.totalSectors;
}

uint32_t entryFirstCluster(const uint8_t* entry, const VolumeLayout& layout)
{
    uint32_t cluster = word(entry + ENTRY_CLUSTER_LOW);
    if (layout.fatType == 32) cluster += word(entry + ENTRY_CLUSTER_HIGH) << 16;
    return cluster;
}
