#include "volume/boot_sector.h"

#include <cstdlib>

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
constexpr uint32_t BPB_NTFS_TOTAL_SECTORS = 40;
constexpr uint32_t BPB_ROOT_CLUSTER = 44;
constexpr uint32_t BPB_TYPE_SCAN_END = 128;
constexpr uint32_t DIR_ENTRY_BYTES = 32;

uint32_t read16(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8;
}

uint32_t read32(const uint8_t* p)
{
    return read16(p) | read16(p + 2) << 16;
}

// The first "FAT" followed by a nonzero number decides the type, wherever it
// stands: the OEM name, the FAT12/16 type text at 54 or the FAT32 one at 82.
int typeTextNumber(const uint8_t* sector)
{
    for (uint32_t i = 0; i < BPB_TYPE_SCAN_END; i++) {
        if (sector[i] != 'F' || sector[i + 1] != 'A' || sector[i + 2] != 'T') continue;
        char digits[3] = {char(sector[i + 3]), char(sector[i + 4]), 0};
        int number = std::atoi(digits);
        if (number != 0) return number;
    }
    return 0;
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
    layout.sectorsPerFat = read16(sector + BPB_SECTORS_PER_FAT_16);
    if (isNtfs) layout.totalSectors = read32(sector + BPB_NTFS_TOTAL_SECTORS);

    if (layout.totalSectors != 0) {
        layout.fatType = 12;
    } else {
        layout.fatType = 16;
        layout.totalSectors = read32(sector + BPB_TOTAL_SECTORS_32);
    }

    uint32_t rootCluster = 0;
    if (layout.sectorsPerFat != 0) {
        // A damaged or foreign sector may claim 0 bytes per sector.
        if (layout.bytesPerSector != 0)
            layout.rootDirSectors =
                read16(sector + BPB_ROOT_ENTRIES) * DIR_ENTRY_BYTES / layout.bytesPerSector;
    } else {
        layout.fatType = 32;
        layout.rootDirSectors = layout.sectorsPerCluster;
        layout.sectorsPerFat = read32(sector + BPB_SECTORS_PER_FAT_32);
        rootCluster = read32(sector + BPB_ROOT_CLUSTER);
    }

    if (layout.fatType == 32) {
        layout.dataStart = layout.reservedSectors + layout.fatCount * layout.sectorsPerFat;
        layout.dirStart = layout.dataStart + (rootCluster - 2) * layout.sectorsPerCluster;
        // The root directory's one cluster is left out of the data area's count.
        layout.dataSectors = layout.totalSectors - layout.dataStart - layout.sectorsPerCluster;
    } else {
        layout.dirStart = layout.reservedSectors + layout.fatCount * layout.sectorsPerFat;
        layout.dataStart = layout.dirStart + layout.rootDirSectors;
        layout.dataSectors = layout.totalSectors - layout.dataStart;
    }

    // The type text overrides only the type, never the boundaries above.
    int number = typeTextNumber(sector);
    if (number != 0) layout.fatType = uint32_t(number);
    return layout;
}
