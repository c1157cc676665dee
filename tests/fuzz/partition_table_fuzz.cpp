#include <cstddef>
#include <cstdint>
#include <cstring>
#include <map>
#include <vector>

#include "disk/sector_io.h"
#include "volume/partition_table.h"

// The disk is the input: its first three bytes give the disk's sector count
// (1 to 2^20); the fourth whether sectors nothing was written to read as
// zeros or fail, whether each GPT header is sealed with fresh CRCs (which the
// fuzzer could never guess), the sector size, and the tables to start from;
// the fifth where the last EBR of theirs links to. Then writes, each a sector
// (three bytes, counted from the disk's end when its top bit is set), an
// offset in it (two), a length (one) and the bytes, cut at the sector's end:
// a table is a few short writes, not sectors of input.
namespace {

struct FakeDisk {
    std::map<uint64_t, std::vector<uint8_t>> written;
    uint32_t sectorSize;
    uint64_t sectorCount;
    bool unwrittenFails;
    uint32_t sizeRead;  // the sector size SectorIo reads in
    uint64_t sectorsRead;
} disk;

PartitionTable table;

uint64_t get(const uint8_t* p, int bytes)
{
    uint64_t value = 0;
    for (int i = bytes - 1; i >= 0; i--) value = value << 8 | p[i];
    return value;
}

void put(uint64_t sector, uint32_t offset, const void* bytes, size_t size)
{
    if (sector >= disk.sectorCount) return;
    std::vector<uint8_t>& written = disk.written[sector];
    written.resize(disk.sectorSize);
    std::memcpy(written.data() + offset, bytes, size);
}

void putLittle(uint64_t sector, uint32_t offset, uint64_t value, int size)
{
    uint8_t bytes[8];
    for (int i = 0; i < size; i++) bytes[i] = uint8_t(value >> 8 * i);
    put(sector, offset, bytes, size);
}

void putEntry(uint64_t sector, uint32_t slot, uint8_t type, uint32_t first, uint32_t count)
{
    putLittle(sector, 446 + 16 * slot + 4, type, 1);
    putLittle(sector, 446 + 16 * slot + 8, first, 4);
    putLittle(sector, 446 + 16 * slot + 12, count, 4);
    putLittle(sector, 510, 0xAA55, 2);
}

// A GPT copy: its header at `lba`, its four used entries at `entries`.
void putGpt(uint64_t lba, uint64_t alternate, uint64_t entries)
{
    // "EFI PART", revision 1 of 92 bytes, no CRCs yet, where it and the other
    // copy lie, the usable sectors, no disk GUID, 128 entries of 128 bytes.
    const uint64_t header[] = {0x5452415020494645, 0x0000005C00010000, 0, lba, alternate, 34,
                               disk.sectorCount - 34, 0, 0, entries, 0x0000008000000080};
    put(lba, 0, header, sizeof header);
    for (uint32_t i = 0; i < 4; i++) {
        putLittle(entries, 128 * i, 0x0FC63DAF + i, 4);
        putLittle(entries, 128 * i + 32, 64 + 64 * i, 8);
        putLittle(entries, 128 * i + 40, 127 + 64 * i, 8);
    }
}

// Tables to start from, for the writes to damage: a chain of three EBRs
// behind a primary, the last linking `lastLink` - 1 steps of 64 sectors from
// the extended partition's start (0: not at all), a GPT with its protective
// MBR, and FAT boot sectors in the first primary and over the MBR.
void putTemplates(uint8_t which, uint8_t lastLink)
{
    const uint8_t boot[] = {0xEB, 0x3C, 0x90, 'M', 'S', 'D', 'O', 'S', '5', '.', '0', 0, 2, 8};
    if (which & 4) put(64, 0, boot, sizeof boot);
    if (which & 8) put(0, 0, boot, sizeof boot);
    if (which & 1) {
        putEntry(0, 0, 0x06, 64, 64);
        putEntry(0, 1, 0x05, 128, 512);
        for (uint32_t k = 0; k < 3; k++) {
            putEntry(128 + 64 * k, 0, 0x83, 8, 56);
            if (k < 2) putEntry(128 + 64 * k, 1, 0x05, 64 * (k + 1), 64);
        }
        if (lastLink != 0) putEntry(256, 1, 0x05, 64 * (lastLink - 1), 64);
    }
    if (which & 2) {
        uint64_t last = disk.sectorCount - 1;
        putEntry(0, 3, 0xEE, 1, uint32_t(last));
        putGpt(1, last, 2);
        putGpt(last, 1, last - 32);
    }
}

void write(const uint8_t* data, size_t size)
{
    for (size_t at = 0; at + 6 <= size;) {
        uint64_t where = get(data + at, 3);
        uint64_t sector = where & 0x800000 ? disk.sectorCount - 1 - (where & 0x7FFFFF) : where;
        uint32_t offset = uint32_t(get(data + at + 3, 2)) % disk.sectorSize;
        size_t length = data[at + 5];
        at += 6;
        if (length > size - at) length = size - at;
        if (length > disk.sectorSize - offset) length = disk.sectorSize - offset;
        put(sector, offset, data + at, length);
        at += length;
    }
}

// Sector `s` of the disk: null for a failing one.
const uint8_t* diskSector(uint64_t s)
{
    static const uint8_t zeros[4096] = {};
    auto found = disk.written.find(s);
    if (found != disk.written.end()) return found->second.data();
    return disk.unwrittenFails ? nullptr : zeros;
}

bool copyBytes(uint64_t offset, uint64_t bytes, uint8_t* out)
{
    for (uint64_t at = offset; at < offset + bytes;) {
        const uint8_t* sector = diskSector(at / disk.sectorSize);
        if (sector == nullptr) return false;
        uint64_t within = at % disk.sectorSize;
        uint64_t size = disk.sectorSize - within < offset + bytes - at ? disk.sectorSize - within
                                                                       : offset + bytes - at;
        std::memcpy(out + (at - offset), sector + within, size);
        at += size;
    }
    return true;
}

void* openFake(const char*, uint64_t* length, bool* readOnly)
{
    *length = uint64_t(1) << 50;  // SectorIo passes every read on, for the route to judge
    *readOnly = true;
    return &disk;
}

void closeFake(void*)
{
}

int readFake(void*, SectorOp op, uint64_t offset, uint32_t bytes, void* buffer)
{
    if (op != SectorOp::Read || offset % disk.sizeRead != 0 || bytes % disk.sizeRead != 0)
        __builtin_trap();
    uint64_t diskBytes = disk.sectorCount * disk.sectorSize;
    if (offset >= diskBytes || bytes > diskBytes - offset) __builtin_trap();
    disk.sectorsRead += bytes / disk.sizeRead;
    return copyBytes(offset, bytes, static_cast<uint8_t*>(buffer)) ? 0 : 1;
}

uint32_t crc32(uint32_t crc, const uint8_t* bytes, size_t size)
{
    crc = ~crc;
    for (size_t i = 0; i < size; i++) {
        crc ^= bytes[i];
        for (int bit = 0; bit < 8; bit++) crc = crc & 1 ? (crc >> 1) ^ 0xEDB88320 : crc >> 1;
    }
    return ~crc;
}

void put32(uint8_t* p, uint32_t value)
{
    for (int i = 0; i < 4; i++) p[i] = uint8_t(value >> 8 * i);
}

// Seals the GPT header written at sector `lba` with the CRCs of its
// entries (up to 64 KiB of them) and of itself.
void seal(uint64_t lba)
{
    auto found = disk.written.find(lba);
    if (found == disk.written.end()) return;
    uint8_t* h = found->second.data();
    uint32_t size = uint32_t(get(h + 12, 4));
    if (std::memcmp(h, "EFI PART", 8) != 0 || size < 20 || size > disk.sectorSize) return;
    uint64_t entryBytes = get(h + 80, 4) * get(h + 84, 4);
    uint64_t entriesAt = get(h + 72, 8);
    static uint8_t entries[1 << 16];
    bool onDisk = entriesAt < disk.sectorCount &&
                  entryBytes <= (disk.sectorCount - entriesAt) * disk.sectorSize;
    if (entryBytes <= sizeof entries && onDisk &&
        copyBytes(entriesAt * disk.sectorSize, entryBytes, entries))
        put32(h + 88, crc32(0, entries, entryBytes));
    put32(h + 16, 0);
    put32(h + 16, crc32(0, h, size));
}

bool inside(const Partition& p)
{
    return p.sectorCount != 0 && p.firstSector < disk.sectorCount &&
           p.sectorCount <= disk.sectorCount - p.firstSector;
}

bool holds(const Partition& p, uint64_t sector)
{
    return sector >= p.firstSector && sector - p.firstSector < p.sectorCount;
}

// The usable partition holding `sector` is the one answered, and only it.
void checkHolding(uint64_t sector)
{
    int32_t found = partitionHolding(table, sector);
    for (int32_t i = 0; i < table.count; i++) {
        bool usableHolder = isUsablePartition(table.entries[i]) && holds(table.entries[i], sector);
        if (usableHolder != (i == found)) __builtin_trap();
    }
    if (found < -1 || found >= table.count) __builtin_trap();
}

void checkEntry(int32_t i)
{
    const Partition& p = table.entries[i];
    if (p.number != i + 1) __builtin_trap();
    if (((p.problems & PARTITION_PAST_DISK_END) != 0) == inside(p)) __builtin_trap();
    if ((p.scheme == PartitionScheme::Gpt) !=
        (table.gpt == GptState::Primary || table.gpt == GptState::Backup))
        __builtin_trap();
    if (isUsablePartition(p) &&
        (tableSectorKind(table, p.firstSector) != TableSector::None ||
         tableSectorKind(table, p.firstSector + p.sectorCount - 1) != TableSector::None))
        __builtin_trap();
    for (int32_t j = 0; j < i; j++) {
        const Partition& q = table.entries[j];
        if (p.scheme == q.scheme && p.tableSector == q.tableSector && p.tableSlot == q.tableSlot)
            __builtin_trap();
        bool apart = p.firstSector >= q.firstSector + q.sectorCount ||
                     q.firstSector >= p.firstSector + p.sectorCount;
        if (isUsablePartition(p) && isUsablePartition(q) && !apart) __builtin_trap();
    }
    // A name, or the code or GUID, ended inside the buffer.
    char name[40];
    partitionTypeName(p, name, sizeof name);
    if (name[0] == '\0' || strnlen(name, sizeof name) > 36) __builtin_trap();
    checkHolding(p.firstSector);
    checkHolding(p.firstSector - 1);
    checkHolding(p.firstSector + p.sectorCount - 1);
    checkHolding(p.firstSector + p.sectorCount);
}

void checkTable(bool isDisk)
{
    if (isDisk != table.isDisk || table.count < 0 || table.count > PARTITION_LIST_MAX ||
        table.ebrCount < 0 || table.ebrCount > EBR_CHAIN_MAX)
        __builtin_trap();
    if (!isDisk && (table.count != 0 || table.gpt != GptState::None)) __builtin_trap();
    if ((tableSectorKind(table, 0) == TableSector::Mbr) != isDisk) __builtin_trap();
    if ((table.chainEnd == ChainEnd::Complete) != (table.chainEndSector == 0) &&
        !(table.chainEnd == ChainEnd::PastDisk && table.chainEndSector == 0))
        __builtin_trap();
    if (table.listCut && table.count != PARTITION_LIST_MAX) __builtin_trap();
    for (int32_t i = 0; i < table.ebrCount; i++)
        if (table.ebrSectors[i] >= disk.sectorCount ||
            tableSectorKind(table, table.ebrSectors[i]) != TableSector::Ebr)
            __builtin_trap();
    for (int32_t i = 0; i < table.count; i++) checkEntry(i);
    checkHolding(0);
    checkHolding(disk.sectorCount - 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 5) return 0;
    disk.sectorCount = 1 + (get(data, 3) & 0xFFFFF);
    disk.unwrittenFails = data[3] & 1;
    disk.sectorSize = data[3] & 8 ? 4096 : 512;
    disk.written.clear();
    putTemplates(data[3] >> 4, data[4]);
    write(data + 5, size - 5);
    if (data[3] & 4) {
        seal(1);
        seal(disk.sectorCount - 1);
    }
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

    SectorIo::setImageSectorSize(disk.sectorSize);
    disk.sizeRead = disk.sectorSize;
    disk.sectorsRead = 0;
    bool isDisk = readPartitionTable(IMAGE_FILE_SOURCE, disk.sectorSize, disk.sectorCount, table);
    if (disk.sectorsRead > partitionReadsMax(disk.sectorSize)) __builtin_trap();
    checkTable(isDisk);

    SectorIo::setImageSectorSize(512);
    disk.sizeRead = 512;
    disk.sectorsRead = 0;
    uint32_t confirmed =
        confirmDiskSectorSize(IMAGE_FILE_SOURCE, disk.sectorCount * disk.sectorSize / 512);
    if (disk.sectorsRead > 9) __builtin_trap();
    if (confirmed != 512 && confirmed != 1024 && confirmed != 2048 && confirmed != 4096)
        __builtin_trap();
    return 0;
}
