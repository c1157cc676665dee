#pragma once
#include <cstdint>

// The cluster dialog's rules over the sector shown. The proposal is the first
// cluster of the directory entry the cursor's line belongs to (two lines an
// entry).
uint32_t proposedCluster();
// OK is open only for a cluster inside the volume of the drive shown.
bool isClusterAcceptable(uint32_t cluster);
// OK: the editor moves to the cluster's first sector.
void jumpToCluster(uint32_t cluster);
