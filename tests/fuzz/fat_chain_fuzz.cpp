#include <cstddef>
#include <cstdint>
#include <cstring>

#include "disk/sector_io.h"
#include "volume/cluster.h"
#include "volume/directory.h"
#include "volume/fat_chain.h"

// The input's head is a volume's layout: ten bytes that make a small one of
// any FAT type, sector size and place of its areas, or (its first byte's top
// bit set) a boot sector of 59 bytes. Then where the volume begins on the
// source, the most clusters a run may take, and a cluster and a size to
// walk. The rest is both the FAT's bytes, repeated to its length, and a
// directory, whose files' chains are walked too.
namespace {

constexpr size_t HEAD = 16;

struct Volume {
    VolumeLayout layout;
    SectorNumber first;
    const uint8_t* fat;  // its bytes, repeated
    size_t fatSize;
} volume;

FatReader reader;
DirectoryEntry entries[64];

uint32_t get(const uint8_t* p, int bytes)
{
    uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; i--) value = value << 8 | p[i];
    return value;
}

uint8_t fatByte(uint64_t at)
{
    return volume.fatSize == 0 ? 0 : volume.fat[at % volume.fatSize];
}

// The entry of `cluster` as the FAT's bytes hold it, read plainly.
uint32_t plainEntry(uint32_t cluster)
{
    const VolumeLayout& l = volume.layout;
    if (l.fatType == 32) {
        uint32_t v = 0;
        for (int i = 3; i >= 0; i--) v = v << 8 | fatByte(uint64_t(cluster) * 4 + i);
        return v & 0x0FFFFFFF;
    }
    uint64_t at = l.fatType == 16 ? uint64_t(cluster) * 2 : uint64_t(cluster) * 3 / 2;
    uint32_t word = fatByte(at) | fatByte(at + 1) << 8;
    if (l.fatType == 16) return word;
    return cluster % 2 ? word >> 4 : word & 0xFFF;
}

bool hasPlainEntry(uint32_t cluster)
{
    const VolumeLayout& l = volume.layout;
    uint64_t at = l.fatType == 32 ? uint64_t(cluster) * 4
                  : l.fatType == 16 ? uint64_t(cluster) * 2
                                    : uint64_t(cluster) * 3 / 2;
    return at + (l.fatType == 32 ? 4 : 2) <= uint64_t(l.sectorsPerFat) * l.bytesPerSector;
}

void* openFake(const char*, uint64_t* length, bool* readOnly)
{
    *length = uint64_t(1) << 50;  // SectorIo passes every read on, for the check below
    *readOnly = true;
    return &volume;
}

void closeFake(void*)
{
}

// Every sector read lies in the first FAT, inside the volume.
int readFake(void*, SectorOp op, uint64_t offset, uint32_t bytes, void* buffer)
{
    const VolumeLayout& l = volume.layout;
    uint64_t size = l.bytesPerSector, sector = offset / size, count = bytes / size;
    uint64_t fat = volume.first + l.reservedSectors;
    if (op != SectorOp::Read || offset % size != 0 || bytes % size != 0 || count == 0 ||
        sector < fat || sector + count > fat + l.sectorsPerFat ||
        sector + count > volume.first + l.totalSectors)
        __builtin_trap();
    uint64_t from = (sector - fat) * size;
    for (uint32_t i = 0; i < bytes; i++) static_cast<uint8_t*>(buffer)[i] = fatByte(from + i);
    return 0;
}

VolumeLayout layoutFrom(const uint8_t* h)
{
    static const uint32_t SIZES[] = {512, 512, 1024, 2048, 4096, 520, 0, 65535};
    static const uint32_t TYPES[] = {12, 12, 16, 16, 32, 32, 0, 7};
    VolumeLayout l{};
    l.bytesPerSector = SIZES[h[0] & 7];
    l.fatType = TYPES[h[1] & 7];
    l.sectorsPerCluster = h[1] >> 3 & 15;
    l.fatCount = h[2] & 3;
    l.reservedSectors = h[2] >> 2;
    l.sectorsPerFat = h[3] & 63;
    l.totalSectors = get(h + 4, 2);
    l.dataStart = l.reservedSectors + l.fatCount * l.sectorsPerFat + h[6];
    l.dataSectors = get(h + 7, 2);
    l.areasInOrder = true;
    return l;
}

void checkRun(const ClusterRun& run, const ChainWalk& walk, uint32_t maxClusters, uint32_t before)
{
    uint32_t highest = highestCluster(volume.layout);
    if (run.count == 0 || run.count > maxClusters || run.first < 2 || run.first > highest ||
        run.count - 1 > highest - run.first)
        __builtin_trap();
    for (uint32_t c = run.first; c < run.first + run.count; c++) {
        if (walk.recovering && plainEntry(c) != 0) __builtin_trap();
        if (!walk.recovering && c + 1 < run.first + run.count && plainEntry(c) != c + 1)
            __builtin_trap();
    }
    if (!walk.recovering && before != 0 && plainEntry(before) != run.first) __builtin_trap();
}

void walk(uint32_t first, uint64_t size, bool recovering, uint32_t maxClusters)
{
    const VolumeLayout& l = volume.layout;
    uint64_t clusterBytes = uint64_t(l.sectorsPerCluster) * l.bytesPerSector, taken = 0;
    static uint8_t seen[(1 << 16) + 8];
    ChainWalk w;
    beginChainWalk(w, reader, first, size, recovering);
    if (!w.ended) std::memset(seen, 0, highestCluster(l) / 8 + 1);
    ClusterRun run;
    uint32_t calls = 1, last = 0;
    for (; nextClusterRun(w, maxClusters, run); calls++) {
        checkRun(run, w, maxClusters, last);
        for (uint32_t c = run.first; c < run.first + run.count; c++) {
            if (seen[c / 8] & 1 << c % 8) __builtin_trap();
            seen[c / 8] |= uint8_t(1 << c % 8);
        }
        taken += run.count;
        last = run.first + run.count - 1;
        if (calls > highestCluster(l) + 2) __builtin_trap();
    }
    // No more clusters than the size needs, and all it needs when complete.
    if (taken != 0 && (taken - 1) * clusterBytes >= size) __builtin_trap();
    if (w.stop == ChainStop::Complete && taken * clusterBytes < size) __builtin_trap();
    if (!w.ended) __builtin_trap();
    endChainWalk(w);
}

// The previous cluster links to this one and is the lowest that does; a
// value that is a mark links to none.
void checkPrevious(uint32_t cluster)
{
    uint32_t previous = 1;
    if (!findPreviousCluster(reader, cluster, previous)) return;
    const VolumeLayout& l = volume.layout;
    uint32_t highest = highestCluster(l);
    if (previous != 0 && (previous < 2 || plainEntry(previous) != cluster)) __builtin_trap();
    uint32_t firstMark = l.fatType == 12 ? 0xFF7 : l.fatType == 16 ? 0xFFF7 : 0x0FFFFFF7;
    if (cluster < 2 || cluster > highest || cluster >= firstMark) return;
    uint32_t end = previous != 0 ? previous : highest + 1;
    for (uint32_t c = 2; c < end && hasPlainEntry(c); c++)
        if (plainEntry(c) == cluster) __builtin_trap();
}

void checkDirectory(const uint8_t* bytes, uint32_t size, uint32_t shownFrom, uint32_t capacity)
{
    uint32_t count = decodeDirectory(bytes, size, shownFrom, volume.layout, entries, capacity);
    uint32_t slots = (size - shownFrom) / DIR_ENTRY_SIZE;
    if (count != (slots < capacity ? slots : capacity)) __builtin_trap();
    for (uint32_t i = 0; i < count; i++) {
        const DirectoryEntry& e = entries[i];
        if (e.offset != shownFrom + i * DIR_ENTRY_SIZE || e.longOffset > e.offset ||
            e.longOffset % DIR_ENTRY_SIZE != 0 || e.longLength > LONG_NAME_MAX || e.part > 31)
            __builtin_trap();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < HEAD) return 0;
    bool fromBoot = data[0] & 0x80;
    if (fromBoot && size < HEAD + BOOT_SECTOR_READ_BYTES) return 0;
    volume.layout = fromBoot ? parseBootSector(data + HEAD, false) : layoutFrom(data);
    if (volume.layout.totalSectors > (1 << 16)) return 0;  // small volumes: quick rounds
    const uint8_t* rest = data + HEAD + (fromBoot ? BOOT_SECTOR_READ_BYTES : 0);
    volume.fatSize = data + size - rest;
    volume.fat = rest;
    volume.first = data[9] & 3;

    static bool routed = false;
    if (!routed) {
        SectorRoutes routes{};
        routes.openImage = openFake;
        routes.closeImage = closeFake;
        routes.imageTransfer = readFake;
        SectorIo::setRoutes(routes);
        SectorIo::openImage("fuzz");
        routed = true;
    }
    if (volume.layout.bytesPerSector != 0)
        SectorIo::setImageSectorSize(volume.layout.bytesPerSector);
    // What an earlier input's FAT was scanned for is not this one's.
    SectorIo::transfer(SectorOp::Write, NO_SOURCE, 0, 0, nullptr);
    openFatReader(reader, IMAGE_FILE_SOURCE, volume.first, volume.layout);

    uint32_t dirSize = uint32_t(volume.fatSize < 4096 ? volume.fatSize : 4096) / 32 * 32;
    uint32_t shownFrom = (data[10] & 7) * DIR_ENTRY_SIZE;
    if (shownFrom > dirSize) shownFrom = dirSize;
    checkDirectory(rest, dirSize, shownFrom, 1 + (data[10] >> 3 & 63));
    if (looksLikeDirectory(rest, dirSize, volume.layout)) {
        uint32_t count = decodeDirectory(rest, dirSize, 0, volume.layout, entries, 64);
        for (uint32_t i = 0; i < count; i++)
            if (entries[i].kind == EntryKind::Damaged) __builtin_trap();
    }

    uint32_t maxClusters = 1 + (data[11] & 15);
    walk(get(data + 12, 2), get(data + 14, 2) * uint64_t(data[11] >> 4), data[11] & 0x80,
         maxClusters);
    uint32_t count = decodeDirectory(rest, dirSize, 0, volume.layout, entries, 64), walked = 0;
    for (uint32_t i = 0; i < count && walked < 4; i++) {
        const DirectoryEntry& e = entries[i];
        if (e.kind != EntryKind::File && e.kind != EntryKind::Directory) continue;
        walk(e.firstCluster, e.size, e.deleted, maxClusters);
        walked++;
    }
    checkPrevious(get(data + 12, 2));
    checkPrevious(get(data + 13, 2));
    return 0;
}
