#include "volume/fat_chain.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "platform/little_endian.h"

namespace {

bool hasClusters(const VolumeLayout& layout)
{
    bool knownType = layout.fatType == 12 || layout.fatType == 16 || layout.fatType == 32;
    return knownType && layout.sectorsPerCluster != 0 && layout.fatCount != 0 &&
           layout.bytesPerSector != 0;
}

uint32_t valueMask(uint32_t fatType)
{
    return fatType == 12 ? 0xFFF : fatType == 16 ? 0xFFFF : 0x0FFFFFFF;
}

uint32_t entryBytes(const VolumeLayout& layout)
{
    return layout.fatType == 32 ? 4 : 2;
}

uint64_t fatBytes(const VolumeLayout& layout)
{
    return uint64_t(layout.sectorsPerFat) * layout.bytesPerSector;
}

// The FAT is read only where the boot sector puts it inside the volume,
// counted in 64 bits: a damaged one may put it anywhere, or past the end.
bool isFatReadable(const VolumeLayout& layout)
{
    return hasClusters(layout) && layout.bytesPerSector != 0 &&
           layout.bytesPerSector <= FAT_WINDOW_BYTES && layout.sectorsPerFat != 0 &&
           uint64_t(layout.reservedSectors) + layout.sectorsPerFat <= layout.totalSectors;
}

bool hasEntry(const VolumeLayout& layout, uint32_t cluster)
{
    return cluster <= highestCluster(layout) &&
           fatEntryByte(layout, cluster) + entryBytes(layout) <= fatBytes(layout);
}

// The highest cluster the FAT holds an entry of, up to the volume's highest.
uint32_t lastEntryCluster(const VolumeLayout& layout)
{
    uint64_t bytes = fatBytes(layout);
    uint64_t last = layout.fatType == 12 ? bytes * 2 / 3 : bytes / entryBytes(layout);
    if (last > highestCluster(layout)) last = highestCluster(layout);
    while (last > 0 && !hasEntry(layout, uint32_t(last))) last--;
    return uint32_t(last);
}

// A window read before a write may no longer be what the disk holds.
bool holds(const FatReader& reader, uint64_t firstByte, uint64_t endByte)
{
    uint64_t bytes = reader.layout.bytesPerSector;
    if (reader.windowSectors == 0 || reader.windowWrites != SectorIo::writeCount()) return false;
    return firstByte / bytes >= reader.windowFirst &&
           (endByte - 1) / bytes < reader.windowFirst + reader.windowSectors;
}

bool readWindow(FatReader& reader, SectorNumber first)
{
    const VolumeLayout& layout = reader.layout;
    uint32_t sectors = FAT_WINDOW_BYTES / layout.bytesPerSector;
    if (sectors > layout.sectorsPerFat - first) sectors = uint32_t(layout.sectorsPerFat - first);
    reader.windowSectors = 0;
    SectorNumber at = reader.volumeFirst + layout.reservedSectors + first;
    if (SectorIo::transfer(SectorOp::Read, reader.source, sectors, at, reader.window) != 0)
        return false;
    reader.windowFirst = first;
    reader.windowSectors = sectors;
    reader.windowWrites = SectorIo::writeCount();
    return true;
}

}  // namespace

FatValue classifyFatValue(const VolumeLayout& layout, uint32_t value)
{
    uint32_t mask = valueMask(layout.fatType);
    value &= mask;
    if (!hasClusters(layout)) return {FatLink::Reserved, value};
    if (value == 0) return {FatLink::Free, value};
    if (value == mask - 8) return {FatLink::Bad, value};
    if (value >= mask - 7) return {FatLink::End, value};
    if (value >= 2 && value <= highestCluster(layout)) return {FatLink::Next, value};
    return {FatLink::Reserved, value};
}

uint64_t fatEntryByte(const VolumeLayout& layout, uint32_t cluster)
{
    if (layout.fatType == 12) return uint64_t(cluster) + cluster / 2;
    return uint64_t(cluster) * entryBytes(layout);
}

uint32_t fatEntryValue(const VolumeLayout& layout, uint32_t cluster, const uint8_t* bytes)
{
    if (layout.fatType == 32) return read32(bytes) & 0x0FFFFFFF;
    uint32_t word = read16(bytes);
    if (layout.fatType != 12) return word;
    return cluster % 2 ? word >> 4 : word & 0xFFF;
}

void openFatReader(FatReader& reader, Source source, SectorNumber volumeFirst,
                   const VolumeLayout& layout)
{
    reader.source = source;
    reader.volumeFirst = volumeFirst;
    reader.layout = layout;
    reader.windowFirst = 0;
    reader.windowSectors = 0;
    reader.windowWrites = 0;
}

// A FAT12 entry may straddle the window's last sector: the window is read
// again from the entry's own sector.
bool readFatEntry(FatReader& reader, uint32_t cluster, FatValue& entry)
{
    const VolumeLayout& layout = reader.layout;
    if (!isFatReadable(layout) || !hasEntry(layout, cluster)) return false;
    uint64_t first = fatEntryByte(layout, cluster), end = first + entryBytes(layout);
    if (!holds(reader, first, end) && !readWindow(reader, first / layout.bytesPerSector))
        return false;
    if (!holds(reader, first, end)) return false;  // a sector of 64 KiB and a FAT12 entry across it
    uint64_t inWindow = first - reader.windowFirst * layout.bytesPerSector;
    entry = classifyFatValue(layout, fatEntryValue(layout, cluster, reader.window + inWindow));
    return true;
}

namespace {

// The last scan of a FAT, for as long as nothing has been written: every
// cluster's previous one, 0 for none.
struct PreviousClusters {
    uint32_t* previous;
    uint32_t highest;
    Source source;
    SectorNumber volumeFirst;
    VolumeLayout layout;
    uint64_t writeCount;
} scanned = {nullptr, 0, NO_SOURCE, 0, {}, 0};

bool sameLayout(const VolumeLayout& a, const VolumeLayout& b)
{
    return a.bytesPerSector == b.bytesPerSector && a.totalSectors == b.totalSectors &&
           a.sectorsPerCluster == b.sectorsPerCluster && a.fatType == b.fatType &&
           a.fatCount == b.fatCount && a.sectorsPerFat == b.sectorsPerFat &&
           a.rootDirSectors == b.rootDirSectors && a.dataSectors == b.dataSectors &&
           a.reservedSectors == b.reservedSectors && a.dirStart == b.dirStart &&
           a.dataStart == b.dataStart && a.areasInOrder == b.areasInOrder;
}

bool isScanOf(const FatReader& reader)
{
    return scanned.previous != nullptr && scanned.source == reader.source &&
           scanned.volumeFirst == reader.volumeFirst && sameLayout(scanned.layout, reader.layout) &&
           scanned.writeCount == SectorIo::writeCount();
}

// Where two clusters link to one, the lower-numbered is kept: the scan
// goes upwards and takes the first.
bool scanFat(FatReader& reader)
{
    std::free(scanned.previous);
    scanned.previous = nullptr;
    // A cluster past the FAT's last entry may still be linked to; none
    // past the highest value a link can carry.
    const VolumeLayout& layout = reader.layout;
    uint32_t highest = std::min(highestCluster(layout), valueMask(layout.fatType) - 9);
    uint32_t last = lastEntryCluster(layout);
    if (uint64_t(highest) + 1 > SIZE_MAX / sizeof(uint32_t)) return false;
    void* bytes = std::calloc(uint64_t(highest) + 1, sizeof(uint32_t));
    uint32_t* previous = static_cast<uint32_t*>(bytes);
    if (previous == nullptr) return false;
    uint64_t writeCount = SectorIo::writeCount();
    for (uint32_t cluster = 2; cluster <= last; cluster++) {
        FatValue entry;
        if (!readFatEntry(reader, cluster, entry)) {
            std::free(previous);
            return false;
        }
        if (entry.link == FatLink::Next && previous[entry.value] == 0)
            previous[entry.value] = cluster;
    }
    scanned = {previous, highest, reader.source, reader.volumeFirst, reader.layout, writeCount};
    return true;
}

}  // namespace

void forgetFatScan()
{
    std::free(scanned.previous);
    scanned.previous = nullptr;
}

bool findPreviousCluster(FatReader& reader, uint32_t cluster, uint32_t& previous)
{
    previous = 0;
    if (!isFatReadable(reader.layout)) return false;
    if (!isScanOf(reader) && !scanFat(reader)) return false;
    if (cluster >= 2 && cluster <= scanned.highest) previous = scanned.previous[cluster];
    return true;
}

namespace {

bool isVisited(const ChainWalk& walk, uint32_t cluster)
{
    return walk.visited[cluster / 8] & (1 << cluster % 8);
}

void visit(ChainWalk& walk, uint32_t cluster)
{
    walk.visited[cluster / 8] |= uint8_t(1 << cluster % 8);
}

bool finish(ChainWalk& walk, ChainStop stop)
{
    walk.stop = stop;
    walk.ended = true;
    return false;
}

// The walk stops with `stop` once the run in hand has been given.
void stopAfterRun(ChainWalk& walk, ChainStop stop)
{
    walk.stop = stop;
    walk.next = 0;
}

ChainStop stopForLink(FatLink link)
{
    switch (link) {
    case FatLink::End: return ChainStop::EndedEarly;
    case FatLink::Free: return ChainStop::FreeCluster;
    case FatLink::Bad: return ChainStop::BadCluster;
    default: return ChainStop::OutsideVolume;
    }
}

void takeCluster(ChainWalk& walk, uint32_t cluster, ClusterRun& run)
{
    const VolumeLayout& layout = walk.fat->layout;
    uint64_t clusterBytes = uint64_t(layout.sectorsPerCluster) * layout.bytesPerSector;
    visit(walk, cluster);
    run.count++;
    walk.bytesLeft -= walk.bytesLeft < clusterBytes ? walk.bytesLeft : clusterBytes;
}

// Each cluster's entry is read only while the file needs more than the
// clusters taken so far: a chain may end anyhow past its size.
bool followChain(ChainWalk& walk, uint32_t maxClusters, ClusterRun& run)
{
    uint32_t cluster = walk.next;
    run = {cluster, 0};
    for (;;) {
        takeCluster(walk, cluster, run);
        if (walk.bytesLeft == 0) return true;
        FatValue entry;
        if (!readFatEntry(*walk.fat, cluster, entry)) {
            stopAfterRun(walk, ChainStop::ReadFailed);
            return true;
        }
        if (entry.link != FatLink::Next) {
            stopAfterRun(walk, stopForLink(entry.link));
            return true;
        }
        walk.next = entry.value;
        if (entry.value != cluster + 1 || run.count >= maxClusters || isVisited(walk, entry.value))
            return true;
        cluster = entry.value;
    }
}

// A deleted file's clusters are free ones, one after another from its
// first: the next call meets whatever ends the run.
bool takeFreeClusters(ChainWalk& walk, uint32_t maxClusters, ClusterRun& run)
{
    uint32_t cluster = walk.next, highest = highestCluster(walk.fat->layout);
    FatValue entry;
    if (!readFatEntry(*walk.fat, cluster, entry)) return finish(walk, ChainStop::ReadFailed);
    if (entry.link != FatLink::Free) return finish(walk, ChainStop::InUse);
    run = {cluster, 0};
    for (;;) {
        takeCluster(walk, cluster, run);
        walk.next = cluster + 1;
        if (walk.bytesLeft == 0) return true;
        if (cluster == highest) {
            stopAfterRun(walk, ChainStop::OutsideVolume);
            return true;
        }
        if (run.count >= maxClusters) return true;
        if (!readFatEntry(*walk.fat, cluster + 1, entry) || entry.link != FatLink::Free)
            return true;
        cluster++;
    }
}

}  // namespace

void beginChainWalk(ChainWalk& walk, FatReader& fat, uint32_t firstCluster, uint64_t size,
                    bool recovering)
{
    walk = {&fat, firstCluster, size, recovering, nullptr, ChainStop::Complete, false};
    if (size == 0) {
        walk.ended = true;
        return;
    }
    const VolumeLayout& layout = fat.layout;
    if (!hasClusters(layout) || firstCluster < 2 || firstCluster > highestCluster(layout)) {
        finish(walk, ChainStop::OutsideVolume);
        return;
    }
    uint64_t bitmapBytes = (uint64_t(highestCluster(layout)) + 8) / 8;
    walk.visited = static_cast<uint8_t*>(std::calloc(bitmapBytes, 1));
    if (walk.visited == nullptr) finish(walk, ChainStop::NoMemory);
}

bool nextClusterRun(ChainWalk& walk, uint32_t maxClusters, ClusterRun& run)
{
    if (walk.ended) return false;
    if (walk.bytesLeft == 0) return finish(walk, ChainStop::Complete);
    if (walk.next == 0) return finish(walk, walk.stop);
    if (walk.next > highestCluster(walk.fat->layout)) return finish(walk, ChainStop::OutsideVolume);
    if (isVisited(walk, walk.next)) return finish(walk, ChainStop::Loop);
    if (maxClusters == 0) maxClusters = 1;
    return walk.recovering ? takeFreeClusters(walk, maxClusters, run)
                           : followChain(walk, maxClusters, run);
}

void endChainWalk(ChainWalk& walk)
{
    std::free(walk.visited);
    walk.visited = nullptr;
    walk.ended = true;
}
