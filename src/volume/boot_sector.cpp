#include "volume/boot_sector.h"

#include <cstdlib>
#include <cstring>

#include "platform/little_endian.h"

namespace {

constexpr uint32_t BPB_BYTES_PER_SECTOR = 11;
constexpr uint32_t BPB_SECTORS_PER_CLUSTER = 13;
constexpr uint32_t BPB_RESERVED_SECTORS = 14;
constexpr uint32_t BPB_FAT_COUNT = 16;
constexpr uint32_t BPB_ROOT_ENTRIES = 17;
constexpr uint32_t BPB_TOTAL_SECTORS_16 = 19;
constexpr uint32_t BPB_SECTORS_PER_FAT_16 = 22;
constexpr uint32_t BPB_TOTAL_SECTORS_32 = 32;
constexpr uint32_t BPB_SECTORS_PER_FAT_32 = 36;
constexpr uint32_t BPB_NTFS_TOTAL_SECTORS = 40;  // 64 bits
constexpr uint32_t BPB_ROOT_CLUSTER = 44;
constexpr uint32_t BPB_TYPE_TEXT_16 = 54;
constexpr uint32_t BPB_EXTENDED_16 = 38;  // the signature, then the serial and the label
constexpr uint32_t BPB_EXTENDED_32 = 66;
constexpr uint32_t BPB_NTFS_SERIAL = 72;  // 64 bits
constexpr uint32_t BPB_EXFAT_SERIAL = 100;
constexpr uint32_t OEM_NAME = 3;
constexpr uint32_t DIR_ENTRY_BYTES = 32;
// Fewer clusters than this make a FAT12 volume, as the format counts them.
constexpr uint64_t FAT12_CLUSTER_LIMIT = 4085;

// The number of the FAT12/16 type text ("FATnn", atoi of its two
// characters), 0 for none. Only the place the layout keeps it counts: an OEM
// name or a volume label of "FAT32" says nothing of the volume.
int typeTextNumber(const uint8_t* sector)
{
    const uint8_t* text = sector + BPB_TYPE_TEXT_16;
    if (text[0] != 'F' || text[1] != 'A' || text[2] != 'T') return 0;
    char digits[3] = {char(text[3]), char(text[4]), 0};
    return std::atoi(digits);
}

// The areas as the boot sector gives them, in 64 bits, so that no sum wraps
// and each follows the one before it.
struct Areas {
    uint64_t total, dir, dirSectors, data;
};

// FAT12/16: IPL, the FATs, the root directory and a data area of at least
// one sector inside the volume. FAT32: the root directory is a cluster of
// the data area, wholly inside the volume. FAT counts in 32 bits: only an
// NTFS volume's count passes them.
bool inOrder(const Areas& a, bool fat32, uint32_t rootCluster)
{
    if (a.total > 0xFFFFFFFFu) return false;
    if (fat32) return rootCluster >= 2 && a.dir < a.total && a.dir + a.dirSectors <= a.total;
    return a.data < a.total;
}

uint32_t fat16Type(const uint8_t* sector, const Areas& a, uint32_t sectorsPerCluster)
{
    int number = typeTextNumber(sector);
    if (number == 12 || number == 16) return uint32_t(number);
    uint64_t clusters = sectorsPerCluster == 0 ? 0 : (a.total - a.data) / sectorsPerCluster;
    return clusters < FAT12_CLUSTER_LIMIT ? 12 : 16;
}

}  // namespace

VolumeLayout parseBootSector(const uint8_t* sector, bool isNtfs)
{
    VolumeLayout layout{};
    layout.bytesPerSector = read16(sector + BPB_BYTES_PER_SECTOR);
    layout.sectorsPerCluster = sector[BPB_SECTORS_PER_CLUSTER];
    layout.reservedSectors = read16(sector + BPB_RESERVED_SECTORS);
    layout.fatCount = sector[BPB_FAT_COUNT];
    layout.totalSectors = read16(sector + BPB_TOTAL_SECTORS_16);
    if (isNtfs) layout.totalSectors = read64(sector + BPB_NTFS_TOTAL_SECTORS);
    if (layout.totalSectors == 0) layout.totalSectors = read32(sector + BPB_TOTAL_SECTORS_32);

    // A 16-bit FAT size of 0 marks FAT32 (and NTFS, which has none).
    bool fat32 = read16(sector + BPB_SECTORS_PER_FAT_16) == 0;
    uint32_t rootCluster = 0;
    Areas a{};
    a.total = layout.totalSectors;
    if (fat32) {
        layout.sectorsPerFat = read32(sector + BPB_SECTORS_PER_FAT_32);
        rootCluster = read32(sector + BPB_ROOT_CLUSTER);
        a.data = layout.reservedSectors + uint64_t(layout.fatCount) * layout.sectorsPerFat;
        a.dir = a.data + (uint64_t(rootCluster) - 2) * layout.sectorsPerCluster;
        a.dirSectors = layout.sectorsPerCluster;
    } else {
        layout.sectorsPerFat = read16(sector + BPB_SECTORS_PER_FAT_16);
        // Entries that fill part of a sector still take it; a damaged or
        // foreign sector may claim 0 bytes per sector.
        uint64_t rootBytes = uint64_t(read16(sector + BPB_ROOT_ENTRIES)) * DIR_ENTRY_BYTES;
        if (layout.bytesPerSector != 0)
            a.dirSectors = (rootBytes + layout.bytesPerSector - 1) / layout.bytesPerSector;
        a.dir = layout.reservedSectors + uint64_t(layout.fatCount) * layout.sectorsPerFat;
        a.data = a.dir + a.dirSectors;
    }

    layout.areasInOrder = inOrder(a, fat32, rootCluster);
    // Out of order, the areas are no places of this volume: none is kept.
    if (!layout.areasInOrder) {
        layout.fatType = fat32 ? 32 : 12;
        return layout;
    }
    layout.rootDirSectors = uint32_t(a.dirSectors);
    layout.dirStart = uint32_t(a.dir);
    layout.dataStart = uint32_t(a.data);
    if (fat32) {
        layout.fatType = 32;
        // The root directory's one cluster is left out of the data area's count.
        uint64_t past = a.data + layout.sectorsPerCluster;
        layout.dataSectors = uint32_t(a.total > past ? a.total - past : 0);
    } else {
        layout.fatType = fat16Type(sector, a, layout.sectorsPerCluster);
        layout.dataSectors = uint32_t(a.total - a.data);
    }
    return layout;
}

namespace {

// 0x29 is followed by the serial, the label and the type text; 0x28, of
// older systems, by the serial alone.
bool readExtendedBpb(const uint8_t* extended, uint64_t& serial, char (&label)[BOOT_LABEL_SIZE])
{
    if (extended[0] != 0x28 && extended[0] != 0x29) return false;
    serial = read32(extended + 1);
    if (extended[0] == 0x28) return true;
    size_t length = 0;
    while (length < BOOT_LABEL_SIZE - 1 && extended[5 + length] != 0) length++;
    while (length > 0 && extended[5 + length - 1] == ' ') length--;
    std::memcpy(label, extended + 5, length);
    label[length] = '\0';
    if (std::strcmp(label, "NO NAME") == 0) label[0] = '\0';
    return true;
}

}  // namespace

bool readBootSerial(const uint8_t* sector, uint64_t& serial, char (&label)[BOOT_LABEL_SIZE])
{
    label[0] = '\0';
    if (std::memcmp(sector + OEM_NAME, "NTFS    ", 8) == 0) {
        serial = read64(sector + BPB_NTFS_SERIAL);
        return true;
    }
    if (std::memcmp(sector + OEM_NAME, "EXFAT   ", 8) == 0) {
        serial = read32(sector + BPB_EXFAT_SERIAL);
        return true;
    }
    // FAT32 has no root directory entries and no 16-bit FAT size.
    bool fat32 = read16(sector + BPB_ROOT_ENTRIES) == 0 && read16(sector + BPB_SECTORS_PER_FAT_16) == 0;
    return readExtendedBpb(sector + (fat32 ? BPB_EXTENDED_32 : BPB_EXTENDED_16), serial, label);
}
