#include <algorithm>
#include <cstring>

#include "editor/editor_state.h"
#include "editor/structure_rows.h"
#include "platform/little_endian.h"
#include "volume/cluster.h"
#include "volume/fat_chain.h"

namespace {

const char* const FAT_HEADERS[] = {"ｵﾌｾｯﾄ", "ｸﾗｽﾀ", "値", "意味"};

uint32_t entryBytes(const VolumeLayout& layout)
{
    return layout.fatType == 32 ? 4 : 2;
}

void addMeaning(StructureRow& row, const VolumeLayout& layout, uint32_t cluster, uint32_t value)
{
    if (cluster < 2) {
        addCell(row, "%s", cluster == 0 ? "ﾒﾃﾞｨｱ記述子" : "予約");
        return;
    }
    FatValue entry = classifyFatValue(layout, value);
    switch (entry.link) {
    case FatLink::Free: addCell(row, "%s", "空き"); break;
    case FatLink::Next: addCell(row, "次: %lu", (unsigned long)entry.value); break;
    case FatLink::End: addCell(row, "%s", "最後"); break;
    case FatLink::Bad: addCell(row, "%s", "不良"); break;
    case FatLink::Reserved: addCell(row, "%s", "ﾎﾞﾘｭｰﾑにない値"); break;
    }
}

// An entry's bytes from the shown sector as edited, and where a FAT12 entry
// runs on into the next sector, its byte there as on the disk.
bool entryBytesAt(const uint8_t* sector, uint64_t sectorByte, uint64_t entryByte, uint32_t width,
                  uint8_t* bytes)
{
    static uint8_t next[IMAGE_BUFFER_SIZE];
    uint32_t size = editor.sectorSize;
    for (uint32_t k = 0; k < width; k++) {
        uint64_t at = entryByte + k - sectorByte;
        if (at < size) {
            bytes[k] = sector[at];
            continue;
        }
        if (SectorIo::transfer(SectorOp::Read, editor.source, 1, editor.currentSector + 1, next) !=
            SECTOR_STATUS_OK)
            return false;
        bytes[k] = next[at - size];
    }
    return true;
}

void addEntry(const uint8_t* sector, uint64_t sectorByte, uint32_t cluster)
{
    const VolumeLayout& layout = editorWindow.layout;
    uint64_t entryByte = fatEntryByte(layout, cluster);
    uint32_t width = entryBytes(layout);
    uint64_t first = std::max(entryByte, sectorByte);
    uint64_t end = std::min<uint64_t>(entryByte + width, sectorByte + editor.sectorSize);
    StructureRow* row = addStructureRow(uint32_t(first - sectorByte), uint32_t(end - first));
    if (row == nullptr) return;
    addCell(*row, "%03X", unsigned(first - sectorByte));
    addCell(*row, "%lu", (unsigned long)cluster);
    uint8_t bytes[4] = {};
    if (!entryBytesAt(sector, sectorByte, entryByte, width, bytes)) {
        addCell(*row, "%s", "?");
        addCell(*row, "%s", "次のｾｸﾀが読めません");
        return;
    }
    uint32_t value = fatEntryValue(layout, cluster, bytes);
    uint32_t stored = layout.fatType == 32 ? read32(bytes) : value;
    addCell(*row, "%0*lXh", layout.fatType == 12 ? 3 : int(2 * width), (unsigned long)stored);
    addMeaning(*row, layout, cluster, value);
    if (isClusterInVolume(layout, cluster))
        row->target = editorWindow.firstSector + clusterFirstSector(layout, cluster);
}

}  // namespace

// Every entry with a byte on the sector is listed, up to the volume's last
// cluster: FAT12's entries run across sector ends.
void buildFatRows(const uint8_t* sector, uint32_t copy, SectorNumber fatSector)
{
    const VolumeLayout& layout = editorWindow.layout;
    setStructureColumns(FAT_HEADERS, 4);
    uint64_t sectorByte = fatSector * editor.sectorSize;
    uint32_t bits = layout.fatType == 12 ? 12 : entryBytes(layout) * 8;
    uint64_t firstCluster = sectorByte * 8 / bits;
    if (firstCluster > 0 && fatEntryByte(layout, uint32_t(firstCluster - 1)) + entryBytes(layout) >
                                sectorByte)
        firstCluster--;
    uint32_t highest = highestCluster(layout);
    uint32_t first = uint32_t(std::min<uint64_t>(firstCluster, uint64_t(highest) + 1));
    uint32_t cluster = first, last = first;
    for (; cluster <= highest; cluster++) {
        if (fatEntryByte(layout, cluster) >= sectorByte + editor.sectorSize) break;
        addEntry(sector, sectorByte, cluster);
        last = cluster;
    }
    if (sectorStructure.rowCount == 0)
        setStructureTitle("FAT%lu  %llu/%lu ｾｸﾀ目  (ｸﾗｽﾀなし)", (unsigned long)copy,
                          (unsigned long long)fatSector + 1, (unsigned long)layout.sectorsPerFat);
    else
        setStructureTitle("FAT%lu  %llu/%lu ｾｸﾀ目  ｸﾗｽﾀ %lu～%lu", (unsigned long)copy,
                          (unsigned long long)fatSector + 1, (unsigned long)layout.sectorsPerFat,
                          (unsigned long)first, (unsigned long)last);
}
