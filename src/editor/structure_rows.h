#pragma once
#include <cstdint>

#include "editor/sector_structure.h"
#include "volume/partition_table.h"

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
uint64_t littleEndian(const uint8_t* bytes, uint32_t length);

// The shown sector, as edited.
void buildBootSectorRows(const uint8_t* sector, bool ntfs);
void buildFatRows(const uint8_t* sector, uint32_t copy, SectorNumber fatSector);
// `bytes` holds the sector before the shown one (`shownFrom` bytes, 0 where
// it is not of the same directory), then the shown one.
void buildDirectoryRows(const uint8_t* bytes, uint32_t size, uint32_t shownFrom);
void buildTableRows(const uint8_t* sector, TableSector kind);
