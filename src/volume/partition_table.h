#pragma once
#include <cstddef>
#include <cstdint>

#include "disk/sector_io.h"
#include "disk/source.h"

// Where a partition was listed from: an MBR's own entry, a logical one of the
// EBR chain, or a GPT entry.
enum class PartitionScheme : int32_t {
    Primary,
    Logical,
    Gpt,
};

// What is wrong with a partition; several may be set.
// Starts or ends past the disk's last sector, has no sectors, or wraps.
constexpr uint32_t PARTITION_PAST_DISK_END = 1;
// Overlaps a partition listed before it or a sector of the table itself.
// A logical partition lying wholly inside the extended partition its chain
// starts from is where it belongs; one crossing that container's edge is not.
constexpr uint32_t PARTITION_OVERLAPS = 2;

struct Partition {
    int32_t number;  // 1.. in list order
    PartitionScheme scheme;
    uint8_t mbrType;           // 0 for GPT
    uint8_t typeGuid[16];      // as stored (its first three fields little-endian), zero for MBR
    SectorNumber firstSector;  // on the disk
    SectorNumber sectorCount;
    uint32_t problems;  // PARTITION_* flags
    // The table entry it was read from: the MBR (0), its EBR, or the first
    // sector of the GPT entry array; the entry's index there.
    SectorNumber tableSector;
    uint32_t tableSlot;
};

// A partition the editor may open as a volume and jump into: wholly on the
// disk, overlapping nothing, and not an extended partition (a container of
// EBRs, not a volume).
bool isUsablePartition(const Partition& p);

// Why the EBR chain ended.
enum class ChainEnd : int32_t {
    Complete,         // a link left empty: the last logical partition
    Loop,             // a link to an EBR seen before
    OutsideExtended,  // a link past the extended partition's end
    PastDisk,         // a link past the disk's last sector
    TooLong,          // more than EBR_CHAIN_MAX EBRs
    Unreadable,       // an EBR the disk would not give, or one without 55 AA
};

enum class GptState : int32_t {
    None,     // no protective 0xEE entry in the MBR
    Primary,  // the header at sector 1 and its entries hold
    Backup,   // they do not; the backup's do
    Damaged,  // neither holds: the MBR's entries are listed
};

// The EBRs followed at most: some hundreds of logical partitions.
constexpr int32_t EBR_CHAIN_MAX = 256;
// Four primaries and a logical partition per EBR; of a GPT, its first this
// many used entries (more set `listCut`).
constexpr int32_t PARTITION_LIST_MAX = 4 + EBR_CHAIN_MAX;
// A GPT entry array is at most this long, and entries at most this large.
constexpr uint32_t GPT_ENTRY_ARRAY_BYTES_MAX = 1 << 20;
constexpr uint32_t GPT_ENTRY_SIZE_MAX = 4096;

// Where one copy of a GPT lies: its header (0 where the disk has no room for
// it), and the entry array its header names (no sectors where the header does
// not hold).
struct GptArea {
    SectorNumber header;
    SectorNumber entriesFirst;
    SectorNumber entriesSectors;
};

struct PartitionTable {
    bool isDisk;  // sector 0 holds a partition table, not a boot sector
    uint32_t sectorSize;
    SectorNumber sectorCount;  // the disk's
    GptState gpt;
    ChainEnd chainEnd;
    // The MBR or EBR whose link ended the chain, or the EBR that could not be
    // read; 0 for a complete chain.
    SectorNumber chainEndSector;
    bool listCut;  // a GPT had more used entries than the list holds
    int32_t count;
    Partition entries[PARTITION_LIST_MAX];
    // The sectors holding the table, which a write is asked about.
    int32_t ebrCount;
    SectorNumber ebrSectors[EBR_CHAIN_MAX];
    GptArea gptAreas[2];  // the primary, the backup
};

// The one table of the source shown; the editor fills it.
extern PartitionTable partitionTable;

// Sector 0's first 512 bytes hold a partition table: 55 AA at 510, four
// entries of status 0x00 or 0x80, each one in use starting past sector 0,
// and at least one in use. A FAT, NTFS or exFAT boot sector is none, even
// where its code happens to look like entries.
bool isPartitionSector(const uint8_t* sector0);

// Reads the partition table of `source`, `sectorCount` sectors of
// `sectorSize` bytes (512 to IMAGE_BUFFER_SIZE): the MBR, the EBR chain of its
// first extended partition (0x05, 0x0F, 0x85), and a GPT where the MBR holds
// a protective 0xEE entry. Reads no sector past the disk, and at most
// partitionReadsMax(sectorSize) of them. Returns table.isDisk.
bool readPartitionTable(Source source, uint32_t sectorSize, SectorNumber sectorCount,
                        PartitionTable& table);

// The sectors readPartitionTable reads at most: the MBR, each EBR, and both
// GPT headers and entry arrays.
constexpr SectorNumber partitionReadsMax(uint32_t sectorSize)
{
    return 3 + EBR_CHAIN_MAX + 2 * ((GPT_ENTRY_ARRAY_BYTES_MAX + sectorSize - 1) / sectorSize);
}

// The sector size a whole disk's image shows, read in `sectors512` sectors of
// 512 bytes: that of the first place 512, 1024, 2048 or 4096 bytes in where a
// GPT header lies, else the first of them at which the first MBR partition's
// boot sector gives the same size; else 512. Reads at most 9 sectors.
uint32_t confirmDiskSectorSize(Source source, SectorNumber sectors512);

// The index in table.entries of the usable partition holding `sector`, -1 for
// none. Usable partitions never overlap, so there is at most one.
int32_t partitionHolding(const PartitionTable& table, SectorNumber sector);

// What a sector of the disk holds of its partition table.
enum class TableSector : int32_t {
    None,
    Mbr,
    Ebr,
    GptHeader,
    GptEntries,
};

TableSector tableSectorKind(const PartitionTable& table, SectorNumber sector);

// The partition's type in ASCII: a name for the usual MBR codes and GPT type
// GUIDs, else the code ("0x%02X") or the GUID in its usual text form.
void partitionTypeName(const Partition& p, char* text, size_t size);
