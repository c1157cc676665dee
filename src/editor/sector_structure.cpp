#include "editor/sector_structure.h"

#include <cstring>

#include "editor/dump_view.h"
#include "editor/editor_state.h"
#include "platform/commands.h"
#include "platform/platform.h"
#include "platform/settings.h"
#include "volume/cluster.h"
#include "volume/partition_table.h"

namespace {

// What the rows were decoded from: they are decoded again only when any of
// it changes.
struct DecodedSector {
    Source source;
    SectorNumber sector;
    uint32_t size;
    uint64_t writes;
    uint32_t directoryCluster;
    uint8_t bytes[IMAGE_BUFFER_SIZE];
};
DecodedSector decoded = {NO_SOURCE, 0, 0, 0, 0, {}};

// The data cluster Enter last showed as a directory, and of what: its
// sectors are read as one whether or not they look like one.
uint32_t enteredDirectory = 0;
Source enteredSource = NO_SOURCE;
SectorNumber enteredVolume = 0;

bool isNtfsBootSector(const uint8_t* sector)
{
    return std::memcmp(sector + 3, "NTFS    ", 8) == 0 && sector[510] == 0x55 &&
           sector[511] == 0xAA;
}

// A data sector is a directory's where Enter went to it as one, where it is
// FAT32's root, or where every entry reads as a directory's.
bool isDirectoryData(SectorNumber inVolume, const uint8_t* sector)
{
    const VolumeLayout& layout = editorWindow.layout;
    uint32_t cluster = clusterOfSector(layout, inVolume);
    bool entered = cluster == enteredDirectory && enteredSource == editor.source &&
                   enteredVolume == editorWindow.firstSector;
    if (entered || cluster == rootDirectoryCluster()) return true;
    return looksLikeDirectory(sector, editor.sectorSize, layout);
}

// The sector before the shown one lends the long names that begin there,
// where it is of the same directory: in the root directory area, or in the
// same cluster.
uint32_t readSectorBefore(SectorNumber inVolume, uint8_t* before)
{
    const VolumeLayout& layout = editorWindow.layout;
    bool inRoot = inVolume < layout.dataStart;
    bool sameArea = inRoot ? inVolume > layout.dirStart
                           : (inVolume - layout.dataStart) % layout.sectorsPerCluster != 0;
    if (!sameArea) return 0;
    if (SectorIo::transfer(SectorOp::Read, editor.source, 1, editor.currentSector - 1, before) !=
        SECTOR_STATUS_OK)
        return 0;
    return editor.sectorSize;
}

// The shown sector and the one before it, where that is of the same
// directory: `shownFrom` bytes of it come first.
const uint8_t* directoryBytes(SectorNumber inVolume, uint32_t& shownFrom)
{
    static uint8_t bytes[2 * IMAGE_BUFFER_SIZE];
    shownFrom = readSectorBefore(inVolume, bytes);
    std::memcpy(bytes + shownFrom, editor.workBuffer, editor.sectorSize);
    return bytes;
}

// What the shown sector is read as: a table sector of a whole disk, else by
// the area of its volume it lies in.
StructureKind shownKind()
{
    const uint8_t* sector = editor.workBuffer;
    bool tableSector = partitionTable.isDisk &&
                       tableSectorKind(partitionTable, editor.currentSector) != TableSector::None;
    SectorNumber inVolume = editor.currentSector - editorWindow.firstSector;
    if (tableSector) return StructureKind::PartitionTable;
    if (!editorWindow.hasAreas)
        return inVolume == 0 && isNtfsBootSector(sector) ? StructureKind::BootSector
                                                         : StructureKind::Other;
    const VolumeLayout& layout = editorWindow.layout;
    uint64_t fatEnd = layout.reservedSectors + uint64_t(layout.fatCount) * layout.sectorsPerFat;
    if (inVolume == 0) return StructureKind::BootSector;
    if (inVolume < layout.reservedSectors) return StructureKind::Other;
    if (inVolume < fatEnd) return StructureKind::Fat;
    if (inVolume < layout.dataStart || isDirectoryData(inVolume, sector))
        return StructureKind::Directory;
    return StructureKind::Other;
}

const char* const NO_HEADERS[] = {"ｵﾌｾｯﾄ"};

void buildOther()
{
    const VolumeLayout& layout = editorWindow.layout;
    SectorNumber inVolume = editor.currentSector - editorWindow.firstSector;
    setStructureColumns(NO_HEADERS, 1);
    if (!editorWindow.hasAreas)
        setStructureTitle("%s", "");
    else if (inVolume < layout.reservedSectors)
        setStructureTitle("%s", "IPL領域");
    else
        setStructureTitle("DATA領域  ｸﾗｽﾀ %lu",
                          (unsigned long)clusterOfSector(layout, inVolume));
}

void build()
{
    const uint8_t* sector = editor.workBuffer;
    const VolumeLayout& layout = editorWindow.layout;
    SectorNumber inVolume = editor.currentSector - editorWindow.firstSector;
    sectorStructure.rowCount = 0;
    sectorStructure.title[0] = '\0';
    sectorStructure.kind = shownKind();
    switch (sectorStructure.kind) {
    case StructureKind::PartitionTable:
        buildTableRows(sector, tableSectorKind(partitionTable, editor.currentSector));
        break;
    case StructureKind::BootSector: buildBootSectorRows(sector, !editorWindow.hasAreas); break;
    case StructureKind::Fat: {
        SectorNumber inFats = inVolume - layout.reservedSectors;
        buildFatRows(sector, uint32_t(inFats / layout.sectorsPerFat) + 1,
                     inFats % layout.sectorsPerFat);
        break;
    }
    case StructureKind::Directory: {
        uint32_t shownFrom = 0;
        const uint8_t* bytes = directoryBytes(inVolume, shownFrom);
        buildDirectoryRows(bytes, shownFrom + editor.sectorSize, shownFrom);
        break;
    }
    case StructureKind::None:
    case StructureKind::Other: buildOther(); break;
    }
    sectorStructure.generation++;
}

bool isDecodedShown()
{
    return decoded.source == editor.source && decoded.sector == editor.currentSector &&
           decoded.size == editor.sectorSize && decoded.writes == SectorIo::writeCount() &&
           decoded.directoryCluster == enteredDirectory &&
           std::memcmp(decoded.bytes, editor.workBuffer, editor.sectorSize) == 0;
}

void rememberDecoded()
{
    decoded.source = editor.source;
    decoded.sector = editor.currentSector;
    decoded.size = editor.sectorSize;
    decoded.writes = SectorIo::writeCount();
    decoded.directoryCluster = enteredDirectory;
    std::memcpy(decoded.bytes, editor.workBuffer, editor.sectorSize);
}

void markCaretRow()
{
    uint32_t caret = uint32_t(DUMP_BYTES_PER_LINE * editor.cursorLine + editor.cursorColumn);
    sectorStructure.caretRow = -1;
    for (uint32_t k = 0; k < sectorStructure.rowCount; k++) {
        const StructureRow& row = sectorStructure.rows[k];
        if (row.length != 0 && caret >= row.offset && caret - row.offset < row.length) {
            sectorStructure.caretRow = int32_t(k);
            return;
        }
    }
}

}  // namespace

bool entryUnderCaret(DirectoryEntry& entry)
{
    static DirectoryEntry entries[IMAGE_BUFFER_SIZE / DIR_ENTRY_SIZE];
    if (editor.source.kind == SourceKind::None || shownKind() != StructureKind::Directory)
        return false;
    uint32_t shownFrom = 0;
    SectorNumber inVolume = editor.currentSector - editorWindow.firstSector;
    const uint8_t* bytes = directoryBytes(inVolume, shownFrom);
    uint32_t count = decodeDirectory(bytes, shownFrom + editor.sectorSize, shownFrom,
                                     editorWindow.layout, entries,
                                     IMAGE_BUFFER_SIZE / DIR_ENTRY_SIZE);
    // On a part of a long name, the entry it names.
    uint32_t caret = shownFrom + uint32_t(DUMP_BYTES_PER_LINE * editor.cursorLine +
                                          editor.cursorColumn);
    for (uint32_t k = 0; k < count; k++) {
        const DirectoryEntry& e = entries[k];
        if (e.kind == EntryKind::LongName || caret < e.longOffset) continue;
        if (caret >= e.offset + DIR_ENTRY_SIZE) continue;
        entry = e;
        return true;
    }
    return false;
}

void showStructure()
{
    if (settings.structureView == 0) return;
    if (editor.source.kind == SourceKind::None) {
        sectorStructure.kind = StructureKind::None;
        sectorStructure.rowCount = 0;
        sectorStructure.columnCount = 0;
        sectorStructure.title[0] = '\0';
        sectorStructure.generation++;
    } else if (!isDecodedShown()) {
        build();
        rememberDecoded();
    }
    markCaretRow();
    platform.showStructure(true);
}

void noteEnteredDirectory(uint32_t cluster)
{
    enteredDirectory = cluster;
    enteredSource = editor.source;
    enteredVolume = editorWindow.firstSector;
}

void toggleStructureView()
{
    settings.structureView = settings.structureView == 0 ? 1 : 0;
    setCommandChecked(CMD_STRUCTURE_VIEW, settings.structureView != 0);
    if (settings.structureView == 0) {
        platform.showStructure(false);
        return;
    }
    decoded.source = NO_SOURCE;  // the rows are handed over afresh
    showStructure();
}
