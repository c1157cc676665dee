#include <cstdio>
#include <cstring>

#include "editor/editor_state.h"
#include "editor/structure_rows.h"
#include "platform/little_endian.h"
#include "platform/platform.h"
#include "volume/partition_names.h"

namespace {

constexpr uint32_t MBR_ENTRIES = 446;
constexpr uint32_t MBR_ENTRY_SIZE = 16;
constexpr uint32_t GPT_ENTRY_SIZE_FIELD = 0x54;
constexpr uint32_t GPT_NAME = 0x38;
constexpr uint32_t GPT_NAME_UNITS = 36;

const StructureField MBR_FIELDS[] = {
    {0x1B8, 4, FieldShow::Code, "ﾃﾞｨｽｸ署名"},
};
const StructureField SIGNATURE_FIELD = {0x1FE, 2, FieldShow::Code, "署名"};

const StructureField GPT_HEADER_FIELDS[] = {
    {0x00, 8, FieldShow::Text, "署名"},
    {0x08, 4, FieldShow::Code, "ﾘﾋﾞｼﾞｮﾝ"},
    {0x0C, 4, FieldShow::Number, "ﾍｯﾀﾞの大きさ"},
    {0x10, 4, FieldShow::Code, "ﾍｯﾀﾞのCRC32"},
    {0x18, 8, FieldShow::Number, "このﾍｯﾀﾞのｾｸﾀ"},
    {0x20, 8, FieldShow::Number, "もう一つのﾍｯﾀﾞのｾｸﾀ"},
    {0x28, 8, FieldShow::Number, "使える最初のｾｸﾀ"},
    {0x30, 8, FieldShow::Number, "使える最後のｾｸﾀ"},
    {0x38, 16, FieldShow::Bytes, "ﾃﾞｨｽｸGUID"},
    {0x48, 8, FieldShow::Number, "ｴﾝﾄﾘの最初のｾｸﾀ"},
    {0x50, 4, FieldShow::Number, "ｴﾝﾄﾘの数"},
    {0x54, 4, FieldShow::Number, "ｴﾝﾄﾘの大きさ"},
    {0x58, 4, FieldShow::Code, "ｴﾝﾄﾘのCRC32"},
};

// Enter on an entry shows what it points at: the partition, or for the
// extended partition and an EBR's link, the next EBR of the chain.
SectorNumber entryTarget(uint32_t slot, bool link)
{
    const PartitionTable& table = partitionTable;
    for (int32_t k = 0; k < table.count; k++) {
        const Partition& p = table.entries[k];
        if (p.tableSector == editor.currentSector && p.tableSlot == slot)
            return isUsablePartition(p) ? p.firstSector : NO_TARGET;
    }
    if (!link) return NO_TARGET;
    for (int32_t k = 0; k + 1 < table.ebrCount; k++)
        if (table.ebrSectors[k] == editor.currentSector) return table.ebrSectors[k + 1];
    return editor.currentSector == 0 && table.ebrCount > 0 ? table.ebrSectors[0] : NO_TARGET;
}

void addMbrEntry(const uint8_t* sector, uint32_t slot)
{
    const uint8_t* entry = sector + MBR_ENTRIES + MBR_ENTRY_SIZE * slot;
    StructureRow* row = addStructureRow(MBR_ENTRIES + MBR_ENTRY_SIZE * slot, MBR_ENTRY_SIZE);
    if (row == nullptr) return;
    char raw[64];
    formatRawBytes(entry, MBR_ENTRY_SIZE, raw, sizeof raw);
    addCell(*row, "%03X", unsigned(row->offset));
    addCell(*row, "%s", raw);
    addCell(*row, "ｴﾝﾄﾘ %lu", (unsigned long)slot + 1);
    uint8_t type = entry[4];
    if (type == 0) {
        addCell(*row, "%s", "未使用");
        return;
    }
    Partition partition = {};
    partition.mbrType = type;
    char name[64];
    partitionTypeName(partition, name, sizeof name);
    addCell(*row, "%s  開始 %lu  %lu ｾｸﾀ%s", name, (unsigned long)read32(entry + 8),
            (unsigned long)read32(entry + 12), entry[0] == 0x80 ? "  ｱｸﾃｨﾌﾞ" : "");
    bool link = type == 0x05 || type == 0x0F || type == 0x85;
    row->target = entryTarget(slot, link);
}

void buildMbrRows(const uint8_t* sector, bool ebr)
{
    setStructureTitle("%s", ebr ? "EBR (拡張ﾌﾞｰﾄﾚｺｰﾄﾞ)" : "MBR (ﾏｽﾀｰﾌﾞｰﾄﾚｺｰﾄﾞ)");
    if (!ebr) addFieldRows(sector, MBR_FIELDS, 1);
    for (uint32_t slot = 0; slot < 4; slot++) addMbrEntry(sector, slot);
    addFieldRows(sector, &SIGNATURE_FIELD, 1);
}

// The entries' size is the header's; the one of the copy this sector is in.
uint32_t gptEntrySize(SectorNumber& arrayFirst)
{
    alignas(SECTOR_BUFFER_ALIGNMENT) static uint8_t header[IMAGE_BUFFER_SIZE];
    for (const GptArea& area : partitionTable.gptAreas) {
        SectorNumber sector = editor.currentSector;
        if (sector < area.entriesFirst || sector - area.entriesFirst >= area.entriesSectors)
            continue;
        arrayFirst = area.entriesFirst;
        if (SectorIo::transfer(SectorOp::Read, editor.source, 1, area.header, header) !=
            SECTOR_STATUS_OK)
            return 0;
        uint32_t size = read32(header + GPT_ENTRY_SIZE_FIELD);
        return size >= 128 && size <= editor.sectorSize && editor.sectorSize % size == 0 ? size : 0;
    }
    return 0;
}

void addGptEntry(const uint8_t* entry, uint32_t offset, uint64_t index)
{
    StructureRow* row = addStructureRow(offset, 128);
    if (row == nullptr) return;
    addCell(*row, "%03X", unsigned(offset));
    char raw[64];
    formatRawBytes(entry, 16, raw, sizeof raw);
    addCell(*row, "%s", raw);
    addCell(*row, "ｴﾝﾄﾘ %llu", (unsigned long long)index + 1);
    Partition partition = {};
    std::memcpy(partition.typeGuid, entry, 16);
    static const uint8_t NONE[16] = {};
    if (std::memcmp(entry, NONE, 16) == 0) {
        addCell(*row, "%s", "未使用");
        return;
    }
    uint16_t units[GPT_NAME_UNITS];
    uint32_t length = 0;
    while (length < GPT_NAME_UNITS &&
           (units[length] = uint16_t(read16(entry + GPT_NAME + 2 * length))) != 0)
        length++;
    char name[2 * GPT_NAME_UNITS + 1], type[64];
    platform.utf16ToShiftJis(units, length, name, sizeof name);
    partitionTypeName(partition, type, sizeof type);
    addCell(*row, "\"%s\"  %s  ｾｸﾀ %llu～%llu", name, type,
            (unsigned long long)read64(entry + 32),
            (unsigned long long)read64(entry + 40));
    for (int32_t k = 0; k < partitionTable.count; k++) {
        const Partition& p = partitionTable.entries[k];
        if (p.scheme == PartitionScheme::Gpt && p.tableSlot == index && isUsablePartition(p))
            row->target = p.firstSector;
    }
}

void buildGptEntryRows(const uint8_t* sector)
{
    SectorNumber arrayFirst = 0;
    uint32_t size = gptEntrySize(arrayFirst);
    setStructureTitle("GPTｴﾝﾄﾘ  %llu ｾｸﾀ目",
                      (unsigned long long)(editor.currentSector - arrayFirst) + 1);
    if (size == 0) return;
    uint64_t first = (editor.currentSector - arrayFirst) * (editor.sectorSize / size);
    for (uint32_t offset = 0; offset < editor.sectorSize; offset += size)
        addGptEntry(sector + offset, offset, first + offset / size);
}

}  // namespace

void buildTableRows(const uint8_t* sector, TableSector kind)
{
    setStructureColumns(FIELD_HEADERS, FIELD_COLUMNS);
    switch (kind) {
    case TableSector::Mbr: buildMbrRows(sector, false); break;
    case TableSector::Ebr: buildMbrRows(sector, true); break;
    case TableSector::GptHeader:
        setStructureTitle("%s", "GPTﾍｯﾀﾞ");
        addFieldRows(sector, GPT_HEADER_FIELDS,
                     sizeof GPT_HEADER_FIELDS / sizeof GPT_HEADER_FIELDS[0]);
        break;
    case TableSector::GptEntries: buildGptEntryRows(sector); break;
    case TableSector::None: break;
    }
}
