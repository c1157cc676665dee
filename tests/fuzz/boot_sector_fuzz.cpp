#include <cstddef>
#include <cstdint>
#include <cstring>

#include "volume/boot_sector.h"

// Any sector the disk may hold: the input, cut or padded to 512 bytes.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    uint8_t sector[512] = {};
    std::memcpy(sector, data, size < sizeof sector ? size : sizeof sector);
    VolumeLayout layout = parseBootSector(sector, size % 2 == 1);
    bool fat16Size = sector[22] != 0 || sector[23] != 0;
    if (fat16Size && layout.bytesPerSector == 0 && layout.rootDirSectors != 0) __builtin_trap();
    return 0;
}
