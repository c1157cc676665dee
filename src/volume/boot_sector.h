#pragma once
#include <cstdint>

#include "disk/sector_io.h"

// A volume's geometry and area boundaries as its boot sector gives them
// (sector counts and sector numbers). FAT keeps its areas in 32 bits; NTFS
// and raw volumes count their sectors in 64.
struct VolumeLayout {
    uint32_t bytesPerSector;
    SectorNumber totalSectors;
    uint32_t sectorsPerCluster;
    uint32_t fatType;
    uint32_t fatCount;
    uint32_t sectorsPerFat;
    uint32_t rootDirSectors;
    uint32_t dataSectors;
    uint32_t reservedSectors;
    uint32_t dirStart;
    uint32_t dataStart;
    // The FAT areas lie in order inside the volume, as computed in 64 bits:
    // only then may a jump, a cluster or an image go by them.
    bool areasInOrder;
};

// How much of sector 0 the parser reads: the BPB and the FAT12/16 type text.
constexpr uint32_t BOOT_SECTOR_READ_BYTES = 59;

// Reads exactly BOOT_SECTOR_READ_BYTES from `sector`. Any bytes give a defined
// layout; one whose areas do not fit the volume says so in `areasInOrder`.
VolumeLayout parseBootSector(const uint8_t* sector, bool isNtfs);

// A boot sector's own label field, trimmed, and room for it.
constexpr uint32_t BOOT_LABEL_SIZE = 12;

// The serial number a boot sector carries (FAT's extended BPB, NTFS's 64
// bits, exFAT's) and, where FAT keeps one beside it, its label ("NO NAME"
// is none): false for a sector that carries none. Reads up to byte 104.
bool readBootSerial(const uint8_t* sector, uint64_t& serial, char (&label)[BOOT_LABEL_SIZE]);
