#include "volume/partition_table.h"

#include <cstdio>
#include <cstring>

#include "platform/crc32.h"
#include "platform/little_endian.h"

PartitionTable partitionTable;

namespace {

constexpr uint32_t MBR_ENTRIES = 446;
constexpr uint32_t MBR_ENTRY_BYTES = 16;
constexpr uint32_t MBR_SLOTS = 4;
constexpr uint8_t MBR_TYPE_PROTECTIVE = 0xEE;
constexpr uint32_t GPT_HEADER_SIZE_MIN = 92;
constexpr uint32_t GPT_ENTRY_SIZE_MIN = 128;
// What is read of a GPT entry: its type GUID, its own GUID, its first and
// last sector.
constexpr uint32_t GPT_ENTRY_HEAD = 48;
// The sector sizes a disk's image is confirmed in.
constexpr uint32_t DISK_SECTOR_SIZES[] = {512, 1024, 2048, 4096};

alignas(SECTOR_BUFFER_ALIGNMENT) uint8_t tableBuffer[IMAGE_BUFFER_SIZE];

// Every read of the table passes here, the one place that meets the sector
// I/O's signature; none leaves the disk.
bool readDiskSectors(Source source, SectorNumber diskSectors, SectorNumber first, uint32_t count,
                     uint8_t* buffer)
{
    if (first >= diskSectors || count > diskSectors - first) return false;
    return SectorIo::transfer(SectorOp::Read, source, count, first, buffer) == SECTOR_STATUS_OK;
}

struct MbrEntry {
    uint8_t status;
    uint8_t type;
    uint32_t first;
    uint32_t count;
};

MbrEntry mbrEntry(const uint8_t* sector, uint32_t slot)
{
    const uint8_t* e = sector + MBR_ENTRIES + slot * MBR_ENTRY_BYTES;
    return {e[0], e[4], read32(e + 8), read32(e + 12)};
}

bool isEmpty(const MbrEntry& e)
{
    return e.type == 0 || e.count == 0;
}

bool isExtendedType(uint8_t type)
{
    return type == 0x05 || type == 0x0F || type == 0x85;
}

bool hasSignature(const uint8_t* sector)
{
    return sector[510] == 0x55 && sector[511] == 0xAA;
}

// The sector size a FAT, NTFS or exFAT boot sector gives, 0 for a sector
// that is none: its jump, and a BPB of a size a disk may have and a power of
// two sectors per cluster. exFAT's BPB is zero; it keeps its size as a shift.
uint32_t bootSectorSize(const uint8_t* s)
{
    bool jump = (s[0] == 0xEB && s[2] == 0x90) || s[0] == 0xE9;
    if (!jump) return 0;
    if (std::memcmp(s + 3, "EXFAT   ", 8) == 0)
        return s[108] >= 9 && s[108] <= 12 ? 1u << s[108] : 0;
    uint32_t size = read16(s + 11);
    uint8_t perCluster = s[13];
    bool powersOfTwo =
        (size & (size - 1)) == 0 && perCluster != 0 && (perCluster & (perCluster - 1)) == 0;
    return size >= 512 && size <= 4096 && powersOfTwo ? size : 0;
}

SectorNumber endOf(SectorNumber first, SectorNumber count)
{
    return count > UINT64_MAX - first ? UINT64_MAX : first + count;
}

bool overlaps(const Partition& p, SectorNumber first, SectorNumber count)
{
    return p.sectorCount != 0 && count != 0 && p.firstSector < endOf(first, count) &&
           first < endOf(p.firstSector, p.sectorCount);
}

bool isExtendedPartition(const Partition& p)
{
    return p.scheme != PartitionScheme::Gpt && isExtendedType(p.mbrType);
}

void list(PartitionTable& t, const Partition& p)
{
    if (t.count == PARTITION_LIST_MAX) {
        t.listCut = true;
        return;
    }
    t.entries[t.count++] = p;
}

// A logical partition's entry counts from its EBR; it may point past the
// last sector number, which is then where it is taken to start.
Partition mbrPartition(PartitionScheme scheme, const MbrEntry& e, SectorNumber tableSector,
                       uint32_t slot)
{
    Partition p{};
    p.scheme = scheme;
    p.mbrType = e.type;
    p.firstSector = endOf(tableSector, e.first);
    p.sectorCount = e.count;
    p.tableSector = tableSector;
    p.tableSlot = slot;
    return p;
}

bool seenEbr(const PartitionTable& t, SectorNumber sector)
{
    for (int32_t i = 0; i < t.ebrCount; i++)
        if (t.ebrSectors[i] == sector) return true;
    return false;
}

// Why the chain ends at the EBR a link leads to, if it does. Links count
// from the extended partition's start, so none leads before it.
bool chainEnds(const PartitionTable& t, SectorNumber ebr, SectorNumber containerEnd, ChainEnd& why)
{
    if (ebr >= containerEnd)
        why = ChainEnd::OutsideExtended;
    else if (ebr >= t.sectorCount)
        why = ChainEnd::PastDisk;
    else if (seenEbr(t, ebr))
        why = ChainEnd::Loop;
    else if (t.ebrCount == EBR_CHAIN_MAX)
        why = ChainEnd::TooLong;
    else
        return false;
    return true;
}

void endChain(PartitionTable& t, ChainEnd why, SectorNumber sector)
{
    t.chainEnd = why;
    t.chainEndSector = sector;
}

// Each EBR's first entry is a logical partition, its second the link to the
// next EBR; a link of no extended type ends the chain as an empty one does.
// Each turn records an EBR, and there are at most EBR_CHAIN_MAX.
void readChain(Source source, const MbrEntry& container, PartitionTable& t)
{
    SectorNumber start = container.first;
    SectorNumber end = start + container.count;
    SectorNumber from = 0;
    SectorNumber ebr = start;
    for (;;) {
        ChainEnd why = ChainEnd::Complete;
        if (chainEnds(t, ebr, end, why)) {
            endChain(t, why, from);
            return;
        }
        if (!readDiskSectors(source, t.sectorCount, ebr, 1, tableBuffer) ||
            !hasSignature(tableBuffer)) {
            endChain(t, ChainEnd::Unreadable, ebr);
            return;
        }
        t.ebrSectors[t.ebrCount++] = ebr;
        MbrEntry logical = mbrEntry(tableBuffer, 0);
        MbrEntry link = mbrEntry(tableBuffer, 1);
        if (!isEmpty(logical)) list(t, mbrPartition(PartitionScheme::Logical, logical, ebr, 0));
        if (isEmpty(link) || !isExtendedType(link.type)) return;
        from = ebr;
        ebr = start + link.first;
    }
}

// The primaries in slot order, then the chain of the first extended one.
void listMbr(Source source, const MbrEntry (&mbr)[MBR_SLOTS], PartitionTable& t)
{
    const MbrEntry* container = nullptr;
    for (uint32_t slot = 0; slot < MBR_SLOTS; slot++) {
        if (isEmpty(mbr[slot])) continue;
        list(t, mbrPartition(PartitionScheme::Primary, mbr[slot], 0, slot));
        if (container == nullptr && isExtendedType(mbr[slot].type)) container = &mbr[slot];
    }
    if (container != nullptr) readChain(source, *container, t);
}

struct GptHeader {
    SectorNumber alternate;
    SectorNumber entriesFirst;
    SectorNumber entriesSectors;
    uint32_t entryCount;
    uint32_t entrySize;
    uint32_t entriesCrc;
};

// Taken with its own CRC field as zero.
uint32_t headerCrc(const uint8_t* s, uint32_t size)
{
    const uint8_t zero[4] = {};
    uint32_t crc = crc32(0, s, 16);
    crc = crc32(crc, zero, sizeof zero);
    return crc32(crc, s + 20, size - 20);
}

// The entry array of a header at `lba` is bounded, lies on the disk, and
// holds neither the MBR nor the header itself.
bool entriesFit(const PartitionTable& t, SectorNumber lba, GptHeader& h)
{
    if (h.entrySize < GPT_ENTRY_SIZE_MIN || h.entrySize > GPT_ENTRY_SIZE_MAX ||
        h.entrySize % 8 != 0)
        return false;
    uint64_t bytes = uint64_t(h.entryCount) * h.entrySize;
    if (bytes > GPT_ENTRY_ARRAY_BYTES_MAX) return false;
    h.entriesSectors = (bytes + t.sectorSize - 1) / t.sectorSize;
    SectorNumber first = h.entriesFirst;
    bool onDisk = first != 0 && first < t.sectorCount && h.entriesSectors <= t.sectorCount - first;
    return onDisk && (lba < first || lba - first >= h.entriesSectors);
}

// A header holds when it is of revision 1, its CRC matches, it says it lies
// where it was read, and its usable sectors and entry array make sense.
bool parseGptHeader(const uint8_t* s, const PartitionTable& t, SectorNumber lba, GptHeader& h)
{
    uint32_t size = read32(s + 12);
    if (std::memcmp(s, "EFI PART", 8) != 0 || read16(s + 10) != 1) return false;
    if (size < GPT_HEADER_SIZE_MIN || size > t.sectorSize || headerCrc(s, size) != read32(s + 16))
        return false;
    if (read64(s + 24) != lba || read64(s + 40) > read64(s + 48)) return false;
    h.alternate = read64(s + 32);
    h.entriesFirst = read64(s + 72);
    h.entryCount = read32(s + 80);
    h.entrySize = read32(s + 84);
    h.entriesCrc = read32(s + 88);
    return entriesFit(t, lba, h);
}

bool readGptHeader(Source source, const PartitionTable& t, SectorNumber lba, GptHeader& h)
{
    return readDiskSectors(source, t.sectorCount, lba, 1, tableBuffer) &&
           parseGptHeader(tableBuffer, t, lba, h);
}

// Unused entries have a zero type. An entry's last sector is its own; a
// range of the whole 64 bits has a count of 0, as one backwards does.
void listGptEntry(const uint8_t* head, uint64_t index, const GptHeader& h, PartitionTable& t)
{
    static const uint8_t unused[16] = {};
    if (std::memcmp(head, unused, sizeof unused) == 0) return;
    Partition p{};
    p.scheme = PartitionScheme::Gpt;
    std::memcpy(p.typeGuid, head, sizeof p.typeGuid);
    SectorNumber first = read64(head + 32);
    SectorNumber last = read64(head + 40);
    p.firstSector = first;
    p.sectorCount = last < first ? 0 : last - first + 1;
    p.tableSector = h.entriesFirst;
    p.tableSlot = uint32_t(index);
    list(t, p);
}

// `chunk` holds bytes [at, at + size) of the entry array. An entry's head may
// begin in one chunk and end in the next: it is gathered in `head` and listed
// in the chunk where it ends.
void takeEntries(const uint8_t* chunk, uint64_t at, uint64_t size, const GptHeader& h,
                 uint8_t (&head)[GPT_ENTRY_HEAD], PartitionTable& t)
{
    uint64_t end = at + size;
    for (uint64_t index = at / h.entrySize; index * h.entrySize < end; index++) {
        uint64_t start = index * h.entrySize;
        uint64_t headEnd = start + GPT_ENTRY_HEAD;
        for (uint64_t b = start > at ? start : at; b < headEnd && b < end; b++)
            head[b - start] = chunk[b - at];
        if (headEnd > at && headEnd <= end) listGptEntry(head, index, h, t);
    }
}

// Read in transfers no larger than the sector buffers, listed as they come.
bool readGptEntries(Source source, const GptHeader& h, PartitionTable& t)
{
    uint64_t bytes = uint64_t(h.entryCount) * h.entrySize;
    uint32_t perRead = IMAGE_BUFFER_SIZE / t.sectorSize;
    uint8_t head[GPT_ENTRY_HEAD] = {};
    uint32_t crc = 0;
    for (SectorNumber done = 0; done < h.entriesSectors; done += perRead) {
        uint32_t count =
            uint32_t(h.entriesSectors - done < perRead ? h.entriesSectors - done : perRead);
        if (!readDiskSectors(source, t.sectorCount, h.entriesFirst + done, count, tableBuffer))
            return false;
        uint64_t at = done * t.sectorSize;
        uint64_t size = uint64_t(count) * t.sectorSize;
        if (size > bytes - at) size = bytes - at;
        crc = crc32(crc, tableBuffer, size);
        takeEntries(tableBuffer, at, size, h, head, t);
    }
    return crc == h.entriesCrc;
}

// GPT entries are listed before anything else: where they cannot all be read
// or their CRC differs, none stays.
bool listGptEntries(Source source, const GptHeader& h, PartitionTable& t)
{
    if (readGptEntries(source, h, t)) return true;
    t.count = 0;
    t.listCut = false;
    return false;
}

void noteEntries(GptArea& area, const GptHeader& h)
{
    area.entriesFirst = h.entriesFirst;
    area.entriesSectors = h.entriesSectors;
}

// The primary copy, or the backup where it does not hold: at the sector the
// primary names, else the disk's last. The backup's header is read either
// way, so that its sectors are known to be the table's.
void readGpt(Source source, PartitionTable& t)
{
    t.gpt = GptState::Damaged;
    if (t.sectorCount < 3) return;
    GptHeader primary{};
    bool primaryHolds = readGptHeader(source, t, 1, primary);
    t.gptAreas[0].header = 1;
    if (primaryHolds) noteEntries(t.gptAreas[0], primary);
    if (primaryHolds && listGptEntries(source, primary, t)) t.gpt = GptState::Primary;

    bool named = primaryHolds && primary.alternate > 1 && primary.alternate < t.sectorCount;
    SectorNumber backupLba = named ? primary.alternate : t.sectorCount - 1;
    GptHeader backup{};
    t.gptAreas[1].header = backupLba;
    if (!readGptHeader(source, t, backupLba, backup)) return;
    noteEntries(t.gptAreas[1], backup);
    if (t.gpt == GptState::Damaged && listGptEntries(source, backup, t)) t.gpt = GptState::Backup;
}

// Whether the partition takes a sector of the table. An extended partition
// holds its EBRs by design.
bool coversTable(const PartitionTable& t, const Partition& p)
{
    if (overlaps(p, 0, 1)) return true;
    for (const GptArea& area : t.gptAreas)
        if ((area.header != 0 && overlaps(p, area.header, 1)) ||
            overlaps(p, area.entriesFirst, area.entriesSectors))
            return true;
    if (isExtendedPartition(p)) return false;
    for (int32_t i = 0; i < t.ebrCount; i++)
        if (overlaps(p, t.ebrSectors[i], 1)) return true;
    return false;
}

// Whether `p` lies where `earlier` does, short of a logical partition lying
// wholly inside the extended partition whose chain it was found in.
bool clashes(const Partition& p, const Partition& earlier, const Partition* container)
{
    if (!overlaps(p, earlier.firstSector, earlier.sectorCount)) return false;
    bool inside =
        p.firstSector >= earlier.firstSector &&
        endOf(p.firstSector, p.sectorCount) <= endOf(earlier.firstSector, earlier.sectorCount);
    return !(p.scheme == PartitionScheme::Logical && &earlier == container && inside);
}

const Partition* chainContainer(const PartitionTable& t)
{
    for (int32_t i = 0; i < t.count; i++)
        if (t.entries[i].scheme == PartitionScheme::Primary && isExtendedPartition(t.entries[i]))
            return &t.entries[i];
    return nullptr;
}

void markProblems(PartitionTable& t)
{
    const Partition* container = chainContainer(t);
    for (int32_t i = 0; i < t.count; i++) {
        Partition& p = t.entries[i];
        p.number = i + 1;
        if (p.sectorCount == 0 || p.firstSector >= t.sectorCount ||
            p.sectorCount > t.sectorCount - p.firstSector)
            p.problems |= PARTITION_PAST_DISK_END;
        bool overlapping = coversTable(t, p);
        for (int32_t j = 0; j < i && !overlapping; j++)
            overlapping = clashes(p, t.entries[j], container);
        if (overlapping) p.problems |= PARTITION_OVERLAPS;
    }
}

}  // namespace

bool isUsablePartition(const Partition& p)
{
    return p.problems == 0 && !isExtendedPartition(p);
}

bool isPartitionSector(const uint8_t* sector0)
{
    if (!hasSignature(sector0) || bootSectorSize(sector0) != 0) return false;
    bool used = false;
    for (uint32_t slot = 0; slot < MBR_SLOTS; slot++) {
        MbrEntry e = mbrEntry(sector0, slot);
        if (e.status != 0x00 && e.status != 0x80) return false;
        if (isEmpty(e)) continue;
        if (e.first == 0) return false;
        used = true;
    }
    return used;
}

bool readPartitionTable(Source source, uint32_t sectorSize, SectorNumber sectorCount,
                        PartitionTable& table)
{
    table = PartitionTable{};
    table.sectorSize = sectorSize;
    table.sectorCount = sectorCount;
    if (sectorSize < 512 || sectorSize > IMAGE_BUFFER_SIZE) return false;
    if (!readDiskSectors(source, sectorCount, 0, 1, tableBuffer) || !isPartitionSector(tableBuffer))
        return false;
    table.isDisk = true;
    MbrEntry mbr[MBR_SLOTS];
    bool protective = false;
    for (uint32_t slot = 0; slot < MBR_SLOTS; slot++) {
        mbr[slot] = mbrEntry(tableBuffer, slot);
        protective = protective || (!isEmpty(mbr[slot]) && mbr[slot].type == MBR_TYPE_PROTECTIVE);
    }
    if (protective) readGpt(source, table);
    if (table.gpt == GptState::None || table.gpt == GptState::Damaged) listMbr(source, mbr, table);
    markProblems(table);
    return true;
}

namespace {

SectorNumber firstPartitionStart(const uint8_t* mbr)
{
    for (uint32_t slot = 0; slot < MBR_SLOTS; slot++)
        if (!isEmpty(mbrEntry(mbr, slot))) return mbrEntry(mbr, slot).first;
    return 0;
}

bool gptHeaderAt(Source source, SectorNumber sectors512, uint32_t sectorSize)
{
    return readDiskSectors(source, sectors512, sectorSize / 512, 1, tableBuffer) &&
           std::memcmp(tableBuffer, "EFI PART", 8) == 0 && read64(tableBuffer + 24) == 1;
}

// The partition starting at `lba` sectors of `sectorSize` bytes has a boot
// sector there, whole on the disk, that gives that size.
bool bootSectorAt(Source source, SectorNumber sectors512, SectorNumber lba, uint32_t sectorSize)
{
    SectorNumber at = lba * (sectorSize / 512);
    return at + sectorSize / 512 <= sectors512 &&
           readDiskSectors(source, sectors512, at, 1, tableBuffer) &&
           bootSectorSize(tableBuffer) == sectorSize;
}

}  // namespace

uint32_t confirmDiskSectorSize(Source source, SectorNumber sectors512)
{
    if (!readDiskSectors(source, sectors512, 0, 1, tableBuffer) || !isPartitionSector(tableBuffer))
        return 512;
    SectorNumber firstStart = firstPartitionStart(tableBuffer);
    for (uint32_t size : DISK_SECTOR_SIZES)
        if (gptHeaderAt(source, sectors512, size)) return size;
    for (uint32_t size : DISK_SECTOR_SIZES)
        if (bootSectorAt(source, sectors512, firstStart, size)) return size;
    return 512;
}

int32_t partitionHolding(const PartitionTable& table, SectorNumber sector)
{
    for (int32_t i = 0; i < table.count; i++) {
        const Partition& p = table.entries[i];
        if (isUsablePartition(p) && sector >= p.firstSector &&
            sector - p.firstSector < p.sectorCount)
            return i;
    }
    return -1;
}

TableSector tableSectorKind(const PartitionTable& table, SectorNumber sector)
{
    if (!table.isDisk) return TableSector::None;
    if (sector == 0) return TableSector::Mbr;
    for (int32_t i = 0; i < table.ebrCount; i++)
        if (table.ebrSectors[i] == sector) return TableSector::Ebr;
    for (const GptArea& area : table.gptAreas) {
        if (area.header != 0 && area.header == sector) return TableSector::GptHeader;
        if (sector >= area.entriesFirst && sector - area.entriesFirst < area.entriesSectors)
            return TableSector::GptEntries;
    }
    return TableSector::None;
}

namespace {

struct MbrTypeName {
    uint8_t type;
    const char* name;
};

constexpr MbrTypeName MBR_TYPE_NAMES[] = {
    {0x01, "FAT12"},      {0x04, "FAT16"},          {0x06, "FAT16"},      {0x0E, "FAT16"},
    {0x0B, "FAT32"},      {0x0C, "FAT32"},          {0x07, "NTFS/exFAT"}, {0x05, "Extended"},
    {0x0F, "Extended"},   {0x85, "Extended"},       {0x82, "Linux swap"}, {0x83, "Linux"},
    {0x8E, "Linux LVM"},  {0xEE, "GPT protective"}, {0xEF, "EFI system"}, {0x27, "Recovery"},
    {0xFD, "Linux RAID"},
};

struct GptTypeName {
    const char* guid;
    const char* name;
};

constexpr GptTypeName GPT_TYPE_NAMES[] = {
    {"C12A7328-F81F-11D2-BA4B-00A0C93EC93B", "EFI system"},
    {"EBD0A0A2-B9E5-4433-87C0-68B6B72699C7", "Microsoft basic data"},
    {"E3C9E316-0B5C-4DB8-817D-F92DF00215AE", "Microsoft reserved"},
    {"DE94BBA4-06D1-4D40-A16A-BFD50179D6AC", "Windows recovery"},
    {"0FC63DAF-8483-4772-8E79-3D69D8477DE4", "Linux filesystem"},
    {"0657FD6D-A4AB-43C4-84E5-0933C84B4F4F", "Linux swap"},
    {"E6D6D379-F507-44C2-A23C-238F2A3DF928", "Linux LVM"},
    {"A19D880F-05FC-4D3B-A006-743F0F84911E", "Linux RAID"},
    {"21686148-6449-6E6F-744E-656564454649", "BIOS boot"},
};

constexpr size_t GUID_TEXT_SIZE = 37;

// Its first three fields are stored little-endian, the rest as written.
void guidText(const uint8_t* g, char (&text)[GUID_TEXT_SIZE])
{
    std::snprintf(text, sizeof text,
                  "%02X%02X%02X%02X-%02X%02X-%02X%02X-%02X%02X-%02X%02X%02X%02X%02X%02X", g[3],
                  g[2], g[1], g[0], g[5], g[4], g[7], g[6], g[8], g[9], g[10], g[11], g[12], g[13],
                  g[14], g[15]);
}

const char* knownTypeName(const Partition& p, const char* guid)
{
    if (p.scheme == PartitionScheme::Gpt) {
        for (const GptTypeName& n : GPT_TYPE_NAMES)
            if (std::strcmp(n.guid, guid) == 0) return n.name;
        return nullptr;
    }
    for (const MbrTypeName& n : MBR_TYPE_NAMES)
        if (n.type == p.mbrType) return n.name;
    return nullptr;
}

}  // namespace

void partitionTypeName(const Partition& p, char* text, size_t size)
{
    char guid[GUID_TEXT_SIZE];
    guidText(p.typeGuid, guid);
    const char* name = knownTypeName(p, guid);
    if (name != nullptr)
        std::snprintf(text, size, "%s", name);
    else if (p.scheme == PartitionScheme::Gpt)
        std::snprintf(text, size, "%s", guid);
    else
        std::snprintf(text, size, "0x%02X", p.mbrType);
}
