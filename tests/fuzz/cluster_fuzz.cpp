#include <cstddef>
#include <cstdint>
#include <cstring>

#include "volume/cluster.h"

namespace {

// An enabled OK must mean a first sector inside the volume's data area.
void checkCluster(const VolumeLayout& layout, uint32_t cluster)
{
    if (!isClusterInVolume(layout, cluster)) return;
    uint64_t first = layout.dataStart + uint64_t(cluster - 2) * layout.sectorsPerCluster;
    if (first >= layout.totalSectors || clusterFirstSector(layout, cluster) != first)
        __builtin_trap();
}

}  // namespace

// Any layout a damaged boot sector may give, a directory entry, and a typed
// cluster number.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    uint8_t bytes[sizeof(VolumeLayout) + 32 + 4 + 1] = {};
    std::memcpy(bytes, data, size < sizeof bytes ? size : sizeof bytes);
    VolumeLayout layout;
    std::memcpy(&layout, bytes, sizeof layout);
    static const uint32_t FAT_TYPES[] = {12, 16, 32, 0};
    layout.fatType = FAT_TYPES[bytes[sizeof bytes - 1] % 4];
    const uint8_t* entry = bytes + sizeof layout;
    uint32_t typed;
    std::memcpy(&typed, entry + 32, sizeof typed);
    checkCluster(layout, entryFirstCluster(entry, layout));
    checkCluster(layout, typed);
    return 0;
}
