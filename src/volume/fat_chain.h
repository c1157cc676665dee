#pragma once
#include <cstdint>

#include "disk/sector_io.h"
#include "volume/boot_sector.h"
#include "volume/cluster.h"

// What a FAT entry says of its cluster.
enum class FatLink : uint8_t {
    Free,      // 0
    Next,      // the next cluster of the chain, inside the volume
    End,       // the last cluster of a chain
    Bad,       // marked bad
    Reserved,  // 1, or a value past the volume's highest cluster that is no mark
};

struct FatValue {
    FatLink link;
    uint32_t value;  // as stored (FAT32's top four bits dropped)
};

FatValue classifyFatValue(const VolumeLayout& layout, uint32_t value);

// Where cluster `cluster`'s entry begins in a FAT, counted in bytes from the
// FAT's first byte; FAT12 entries are a byte and a half.
uint64_t fatEntryByte(const VolumeLayout& layout, uint32_t cluster);
// The entry of `cluster` from the FAT's bytes at fatEntryByte (two bytes on
// FAT12 and FAT16, four on FAT32).
uint32_t fatEntryValue(const VolumeLayout& layout, uint32_t cluster, const uint8_t* bytes);

// The first FAT of a volume, read a window of sectors at a time.
constexpr uint32_t FAT_WINDOW_BYTES = 64 * 1024;
struct FatReader {
    Source source;
    SectorNumber volumeFirst;  // the volume's sector 0 on the source
    VolumeLayout layout;
    SectorNumber windowFirst;  // the FAT sector the window holds first
    uint32_t windowSectors;    // 0: nothing read yet
    uint64_t windowWrites;     // SectorIo::writeCount() when it was read
    alignas(SECTOR_BUFFER_ALIGNMENT) uint8_t window[FAT_WINDOW_BYTES];
};

void openFatReader(FatReader& reader, Source source, SectorNumber volumeFirst,
                   const VolumeLayout& layout);
// The entry of `cluster`, read from the disk; false when the cluster has no
// entry in the FAT or its sectors cannot be read.
bool readFatEntry(FatReader& reader, uint32_t cluster, FatValue& entry);

// The cluster before `cluster` in its chain, from a scan of the whole FAT;
// 0 when no entry links to it. The scan is kept and used again while the
// same volume is asked and nothing has been written to any source since.
// False when the FAT cannot be read or the memory for it had.
bool findPreviousCluster(FatReader& reader, uint32_t cluster, uint32_t& previous);
// Lets the kept scan go: the medium may have been changed under the source.
void forgetFatScan();

// Why a walk of a file's clusters ended.
enum class ChainStop : uint8_t {
    Complete,       // the file's size reached
    Loop,           // a cluster came round again
    OutsideVolume,  // a link to a cluster the volume does not have
    FreeCluster,    // a link to a free cluster
    BadCluster,     // a link to a cluster marked bad
    EndedEarly,     // the chain ended before the size was reached
    InUse,          // recovering: a cluster another file now holds
    ReadFailed,     // the FAT could not be read
    NoMemory,
};

// Clusters that lie one after another on the disk.
struct ClusterRun {
    uint32_t first;
    uint32_t count;
};

// A walk over a file's clusters, in runs, for `size` bytes from its first
// cluster. A recovered file (deleted) is taken as its first cluster and the
// free clusters after it, contiguous, as far as its size needs.
struct ChainWalk {
    FatReader* fat;
    uint32_t next;        // the cluster the next run begins with
    uint64_t bytesLeft;   // still to come
    bool recovering;
    uint8_t* visited;     // a bit per cluster: a chain that comes round stops
    ChainStop stop;
    bool ended;
};

// `visited` is allocated here and let go by endChainWalk.
void beginChainWalk(ChainWalk& walk, FatReader& fat, uint32_t firstCluster, uint64_t size,
                    bool recovering);
// The next run of at most `maxClusters` clusters, all of which belong to the
// file: false when the walk has ended, `walk.stop` saying why. The last run's
// last cluster may hold less than a cluster of the file.
bool nextClusterRun(ChainWalk& walk, uint32_t maxClusters, ClusterRun& run);
void endChainWalk(ChainWalk& walk);
