#pragma once
#include <cstdint>

#include "disk/sector_io.h"
#include "volume/directory.h"

// What the shown sector is read as, by the area it lies in.
enum class StructureKind : int32_t {
    None,            // nothing shown
    BootSector,      // a FAT or NTFS boot sector
    Fat,             // a sector of one of the FATs
    Directory,       // the root directory, or a data cluster read as a directory
    PartitionTable,  // an MBR, an EBR, a GPT header or GPT entries
    Other,           // data, or bytes with no structure known here
};

constexpr int STRUCTURE_COLUMN_MAX = 8;
// FAT12 in 4096-byte sectors has 2731 entries touching one sector.
constexpr uint32_t STRUCTURE_ROW_MAX = 2736;
constexpr uint32_t STRUCTURE_ROW_TEXT = 640;
constexpr uint32_t STRUCTURE_TITLE_SIZE = 160;

// One row of the structure view: the bytes it describes (none for a value
// computed from others), its texts, and the sector Enter shows from it.
struct StructureRow {
    uint32_t offset;
    uint32_t length;          // 0: no bytes of its own
    SectorNumber target;      // NO_TARGET for none
    bool directory;           // the target is a directory's first cluster
    uint16_t cellCount;
    uint16_t textUsed;
    uint16_t cellStart[STRUCTURE_COLUMN_MAX];
    char text[STRUCTURE_ROW_TEXT];
};

constexpr SectorNumber NO_TARGET = UINT64_MAX;

struct SectorStructure {
    StructureKind kind;
    uint32_t generation;  // changes whenever the rows do
    int32_t columnCount;
    const char* const* headers;
    char title[STRUCTURE_TITLE_SIZE];
    uint32_t rowCount;
    int32_t caretRow;  // the row holding the caret's byte, -1 for none
    StructureRow rows[STRUCTURE_ROW_MAX];
};

// The shown sector decoded, as edited.
extern SectorStructure sectorStructure;

// Decodes the shown sector again where it, its bytes or its source changed
// since the last time, and marks the row under the caret; then hands the
// rows to the window when the view is up.
void showStructure();
const char* structureCell(const StructureRow& row, int32_t column);

// A row chosen in the view puts the caret on its first byte.
void selectStructureRow(int32_t row);
// Enter on a row shows its target sector; false where it has none or the
// sector could not be shown.
bool openStructureRow(int32_t row);

// The directory entry under the caret (or named by the long name part under
// it), where the shown sector reads as a directory; false for none.
bool entryUnderCaret(DirectoryEntry& entry);

// The view shown or hidden, as 表示 → ｾｸﾀの構造 toggles it.
void toggleStructureView();
