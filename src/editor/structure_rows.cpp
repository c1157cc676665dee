#include "editor/structure_rows.h"

#include <cstdarg>
#include <cstdio>

#include "editor/editor_state.h"
#include "platform/little_endian.h"
#include "volume/cluster.h"

SectorStructure sectorStructure;

const char* structureCell(const StructureRow& row, int32_t column)
{
    if (column < 0 || column >= row.cellCount) return "";
    return row.text + row.cellStart[column];
}

StructureRow* addStructureRow(uint32_t offset, uint32_t length)
{
    if (sectorStructure.rowCount >= STRUCTURE_ROW_MAX) return nullptr;
    StructureRow& row = sectorStructure.rows[sectorStructure.rowCount++];
    row.offset = offset;
    row.length = length;
    row.target = NO_TARGET;
    row.directory = false;
    row.cellCount = 0;
    row.textUsed = 0;
    return &row;
}

// Cells follow one another in the row's text, each ended by its zero; one
// that would not fit is cut.
void addCell(StructureRow& row, const char* format, ...)
{
    if (row.cellCount >= STRUCTURE_COLUMN_MAX || row.textUsed >= STRUCTURE_ROW_TEXT) return;
    char* cell = row.text + row.textUsed;
    uint32_t room = STRUCTURE_ROW_TEXT - row.textUsed;
    va_list arguments;
    va_start(arguments, format);
    int length = std::vsnprintf(cell, room, format, arguments);
    va_end(arguments);
    if (length < 0) {
        cell[0] = '\0';
        length = 0;
    }
    row.cellStart[row.cellCount++] = row.textUsed;
    row.textUsed = uint16_t(row.textUsed + (uint32_t(length) < room ? uint32_t(length) + 1 : room));
}

void setStructureColumns(const char* const* headers, int32_t count)
{
    sectorStructure.headers = headers;
    sectorStructure.columnCount = count;
}

void setStructureTitle(const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(sectorStructure.title, STRUCTURE_TITLE_SIZE, format, arguments);
    va_end(arguments);
}

void formatRawBytes(const uint8_t* bytes, uint32_t count, char* text, uint32_t size)
{
    uint32_t at = 0;
    text[0] = '\0';
    for (uint32_t k = 0; k < count && at + 4 <= size; k++)
        at += uint32_t(std::snprintf(text + at, size - at, k == 0 ? "%02X" : " %02X", bytes[k]));
}

const char* const FIELD_HEADERS[FIELD_COLUMNS] = {"ｵﾌｾｯﾄ", "ﾊﾞｲﾄ", "項目", "値"};

namespace {

// A field of any width up to eight bytes.
uint64_t littleEndian(const uint8_t* bytes, uint32_t length)
{
    uint64_t value = 0;
    for (uint32_t k = length; k > 0; k--) value = value << 8 | bytes[k - 1];
    return value;
}

void addValue(StructureRow& row, const StructureField& field, const uint8_t* bytes)
{
    uint64_t value = littleEndian(bytes, field.length < 8 ? field.length : 8);
    switch (field.show) {
    case FieldShow::Number:
        addCell(row, "%llu (%llXh)", (unsigned long long)value, (unsigned long long)value);
        break;
    case FieldShow::Code: addCell(row, "%0*llXh", int(2 * field.length), (unsigned long long)value);
        break;
    case FieldShow::Serial:
        addCell(row, "%04X-%04X", unsigned(value >> 16 & 0xFFFF), unsigned(value & 0xFFFF));
        break;
    case FieldShow::Text: {
        char text[17];
        for (uint32_t k = 0; k < field.length; k++)
            text[k] = bytes[k] >= 0x20 && bytes[k] < 0x7F ? char(bytes[k]) : '.';
        text[field.length] = '\0';
        addCell(row, "\"%s\"", text);
        break;
    }
    case FieldShow::Bytes: addCell(row, "%s", ""); break;
    }
}

}  // namespace

void addFieldRows(const uint8_t* sector, const StructureField* fields, uint32_t count)
{
    for (uint32_t k = 0; k < count; k++) {
        const StructureField& field = fields[k];
        if (uint32_t(field.offset) + field.length > editor.sectorSize) continue;
        StructureRow* row = addStructureRow(field.offset, field.length);
        if (row == nullptr) return;
        char raw[64];
        formatRawBytes(sector + field.offset, field.length, raw, sizeof raw);
        addCell(*row, "%03X", unsigned(field.offset));
        addCell(*row, "%s", raw);
        addCell(*row, "%s", field.name);
        addValue(*row, field, sector + field.offset);
    }
}

namespace {

constexpr uint32_t BPB_ROOT_CLUSTER = 44;

}  // namespace

// FAT32 keeps its root directory in a cluster its boot sector names.
uint32_t rootDirectoryCluster()
{
    alignas(SECTOR_BUFFER_ALIGNMENT) static uint8_t boot[IMAGE_BUFFER_SIZE];
    if (editorWindow.layout.fatType != 32 ||
        SectorIo::transfer(SectorOp::Read, editor.source, 1, editorWindow.firstSector, boot) !=
            SECTOR_STATUS_OK)
        return 0;
    return read32(boot + BPB_ROOT_CLUSTER);
}

SectorNumber rootDirectorySector()
{
    const VolumeLayout& layout = editorWindow.layout;
    uint32_t cluster = rootDirectoryCluster();
    if (layout.fatType != 32) return editorWindow.firstSector + layout.dirStart;
    if (!isClusterInVolume(layout, cluster)) return NO_TARGET;
    return editorWindow.firstSector + clusterFirstSector(layout, cluster);
}

