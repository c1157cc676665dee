#include <cstddef>
#include <cstdint>
#include <cstring>

#include "volume/boot_sector.h"

namespace {

// A range of sectors the program may jump into or image lies inside the volume.
bool inside(uint64_t first, uint64_t count, const VolumeLayout& l)
{
    return first + count <= l.totalSectors;
}

}  // namespace

// Any sector the disk may hold: the input, cut or padded to 512 bytes. Every
// layout taken for FAT keeps its areas in order inside the volume.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    uint8_t sector[512] = {};
    std::memcpy(sector, data, size < sizeof sector ? size : sizeof sector);
    // The label a medium is told by: ended, trimmed, and never "NO NAME".
    uint64_t serial = 0;
    char label[BOOT_LABEL_SIZE];
    std::memset(label, 0x55, sizeof label);
    if (readBootSerial(sector, serial, label)) {
        size_t length = strnlen(label, sizeof label);
        if (length == sizeof label || (length > 0 && label[length - 1] == ' ') ||
            std::strcmp(label, "NO NAME") == 0)
            __builtin_trap();
    }
    VolumeLayout l = parseBootSector(sector, size % 2 == 1);
    bool fat16Size = sector[22] != 0 || sector[23] != 0;
    if (fat16Size && l.bytesPerSector == 0 && l.rootDirSectors != 0) __builtin_trap();
    if (!l.areasInOrder) {
        if (l.dirStart != 0 || l.dataStart != 0 || l.dataSectors != 0) __builtin_trap();
        return 0;
    }
    if (l.fatType != 12 && l.fatType != 16 && l.fatType != 32) __builtin_trap();
    if ((l.fatType == 32) != !fat16Size) __builtin_trap();
    // The jumps: IPL, FAT, DIR, DATA and LAST.
    if (l.totalSectors == 0 || l.reservedSectors >= l.totalSectors) __builtin_trap();
    if (l.dirStart >= l.totalSectors || l.dataStart >= l.totalSectors) __builtin_trap();
    // The image areas, in the order the volume keeps them.
    uint64_t fats = uint64_t(l.fatCount) * l.sectorsPerFat;
    if (!inside(0, l.reservedSectors, l) || !inside(l.reservedSectors, fats, l)) __builtin_trap();
    if (!inside(l.dirStart, l.rootDirSectors, l)) __builtin_trap();
    if (!inside(l.dataStart, l.dataSectors, l)) __builtin_trap();
    if (l.fatType == 32) {
        if (l.dataStart != l.reservedSectors + fats || l.dirStart < l.dataStart) __builtin_trap();
    } else if (l.dirStart != l.reservedSectors + fats ||
               l.dataStart != uint64_t(l.dirStart) + l.rootDirSectors) {
        __builtin_trap();
    }
    return 0;
}
