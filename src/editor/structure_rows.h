#pragma once
#include <cstdint>

#include "disk/sector_io.h"
#include "volume/partition_table.h"

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

const char* structureCell(const StructureRow& row, int32_t column);

// The row builders of the structure view, each for one kind of sector. They
// add to sectorStructure, which the caller has emptied.

// A row for `length` bytes at `offset`; null once the rows are full.
StructureRow* addStructureRow(uint32_t offset, uint32_t length);
// The row's next cell.
void addCell(StructureRow& row, const char* format, ...) __attribute__((format(printf, 2, 3)));
void setStructureColumns(const char* const* headers, int32_t count);
void setStructureTitle(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Bytes as the dump shows them: "00 02".
void formatRawBytes(const uint8_t* bytes, uint32_t count, char* text, uint32_t size);

// FAT32 keeps its root directory in a cluster its boot sector names; the
// others have none.
uint32_t rootDirectoryCluster();
// The first sector of the volume's root directory on the source.
SectorNumber rootDirectorySector();

// A field of a boot sector or a GPT header, shown as its kind of value.
enum class FieldShow : uint8_t {
    Number,  // unsigned, little-endian
    Code,    // hexadecimal
    Serial,  // as the system writes a volume serial
    Text,    // ASCII
    Bytes,   // only the bytes
};

struct StructureField {
    uint16_t offset;
    uint8_t length;  // at most 16
    FieldShow show;
    const char* name;
};

// Offset, bytes, name and value: the columns of a sector of fields.
constexpr int32_t FIELD_COLUMNS = 4;
extern const char* const FIELD_HEADERS[FIELD_COLUMNS];
// A row for each field lying inside the shown sector.
void addFieldRows(const uint8_t* sector, const StructureField* fields, uint32_t count);

// The shown sector, as edited.
void buildBootSectorRows(const uint8_t* sector, bool ntfs);
void buildFatRows(const uint8_t* sector, uint32_t copy, SectorNumber fatSector);
// `bytes` holds the sector before the shown one (`shownFrom` bytes, 0 where
// it is not of the same directory), then the shown one.
void buildDirectoryRows(const uint8_t* bytes, uint32_t size, uint32_t shownFrom);
void buildTableRows(const uint8_t* sector, TableSector kind);
