#pragma once
#include <cstdint>

#include "volume/boot_sector.h"

// The first sector of cluster `cluster`; cluster 2 begins the data area.
SectorNumber clusterFirstSector(const VolumeLayout& layout, uint32_t cluster);

// The volume's highest cluster number: its data area's clusters run from 2
// to this one. Only for a layout with clusters.
uint32_t highestCluster(const VolumeLayout& layout);

// The cluster a sector of the data area lies in (`sector` counted from the
// volume's start, at or past its data area; a layout with clusters).
uint32_t clusterOfSector(const VolumeLayout& layout, SectorNumber sector);

// Whether the cluster lies inside the volume's data area, so that a jump to
// it lands inside the volume. FAT32 counts its data area to the volume's end;
// a layout without clusters or FATs has none.
bool isClusterInVolume(const VolumeLayout& layout, uint32_t cluster);

// The first cluster of a 32-byte directory entry: its low word, and on FAT32
// its high word too.
uint32_t entryFirstCluster(const uint8_t* entry, const VolumeLayout& layout);
