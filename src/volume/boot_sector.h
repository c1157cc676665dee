#pragma once
#include <cstdint>

// A volume's geometry and area boundaries as its boot sector gives them
// (sector counts and sector numbers).
struct VolumeLayout {
    uint32_t bytesPerSector;
    uint32_t totalSectors;
    uint32_t sectorsPerCluster;
    uint32_t fatType;
    uint32_t fatCount;
    uint32_t sectorsPerFat;
    uint32_t rootDirSectors;
    uint32_t dataSectors;
    uint32_t reservedSectors;
    uint32_t dirStart;
    uint32_t dataStart;
};

// How much of sector 0 the parser reads: the BPB and the "FATnn" type text scan.
constexpr uint32_t BOOT_SECTOR_READ_BYTES = 132;

// Reads exactly BOOT_SECTOR_READ_BYTES from `sector`. Any bytes give a defined
// layout; sums that do not fit wrap in 32 bits.
VolumeLayout parseBootSector(const uint8_t* sector, bool isNtfs);
