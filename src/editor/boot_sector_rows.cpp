#include <cstdio>

#include "editor/editor_state.h"
#include "editor/structure_rows.h"
#include "volume/cluster.h"

namespace {

const StructureField COMMON_FIELDS[] = {
    {0x00, 3, FieldShow::Bytes, "ｼﾞｬﾝﾌﾟ命令"},
    {0x03, 8, FieldShow::Text, "OEM名"},
    {0x0B, 2, FieldShow::Number, "ｾｸﾀのﾊﾞｲﾄ数"},
    {0x0D, 1, FieldShow::Number, "ｸﾗｽﾀのｾｸﾀ数"},
    {0x0E, 2, FieldShow::Number, "予約ｾｸﾀ数"},
};

const StructureField FAT_FIELDS[] = {
    {0x10, 1, FieldShow::Number, "FATの数"},
    {0x11, 2, FieldShow::Number, "ﾙｰﾄﾃﾞｨﾚｸﾄﾘのｴﾝﾄﾘ数"},
    {0x13, 2, FieldShow::Number, "総ｾｸﾀ数 (16ﾋﾞｯﾄ)"},
    {0x15, 1, FieldShow::Code, "ﾒﾃﾞｨｱ記述子"},
    {0x16, 2, FieldShow::Number, "FATのｾｸﾀ数 (16ﾋﾞｯﾄ)"},
    {0x18, 2, FieldShow::Number, "ﾄﾗｯｸのｾｸﾀ数"},
    {0x1A, 2, FieldShow::Number, "ﾍｯﾄﾞ数"},
    {0x1C, 4, FieldShow::Number, "隠しｾｸﾀ数"},
    {0x20, 4, FieldShow::Number, "総ｾｸﾀ数 (32ﾋﾞｯﾄ)"},
};

const StructureField FAT16_FIELDS[] = {
    {0x24, 1, FieldShow::Code, "ﾄﾞﾗｲﾌﾞ番号"},
    {0x26, 1, FieldShow::Code, "拡張ﾌﾞｰﾄ署名"},
    {0x27, 4, FieldShow::Serial, "ｼﾘｱﾙ番号"},
    {0x2B, 11, FieldShow::Text, "ﾎﾞﾘｭｰﾑﾗﾍﾞﾙ"},
    {0x36, 8, FieldShow::Text, "ﾌｧｲﾙｼｽﾃﾑの種類"},
};

const StructureField FAT32_FIELDS[] = {
    {0x24, 4, FieldShow::Number, "FATのｾｸﾀ数 (32ﾋﾞｯﾄ)"},
    {0x28, 2, FieldShow::Code, "拡張ﾌﾗｸﾞ"},
    {0x2A, 2, FieldShow::Code, "ﾊﾞｰｼﾞｮﾝ"},
    {0x2C, 4, FieldShow::Number, "ﾙｰﾄﾃﾞｨﾚｸﾄﾘのｸﾗｽﾀ"},
    {0x30, 2, FieldShow::Number, "FSINFOのｾｸﾀ"},
    {0x32, 2, FieldShow::Number, "ﾌﾞｰﾄｾｸﾀの控えのｾｸﾀ"},
    {0x40, 1, FieldShow::Code, "ﾄﾞﾗｲﾌﾞ番号"},
    {0x42, 1, FieldShow::Code, "拡張ﾌﾞｰﾄ署名"},
    {0x43, 4, FieldShow::Serial, "ｼﾘｱﾙ番号"},
    {0x47, 11, FieldShow::Text, "ﾎﾞﾘｭｰﾑﾗﾍﾞﾙ"},
    {0x52, 8, FieldShow::Text, "ﾌｧｲﾙｼｽﾃﾑの種類"},
};

const StructureField NTFS_FIELDS[] = {
    {0x15, 1, FieldShow::Code, "ﾒﾃﾞｨｱ記述子"},
    {0x18, 2, FieldShow::Number, "ﾄﾗｯｸのｾｸﾀ数"},
    {0x1A, 2, FieldShow::Number, "ﾍｯﾄﾞ数"},
    {0x1C, 4, FieldShow::Number, "隠しｾｸﾀ数"},
    {0x28, 8, FieldShow::Number, "総ｾｸﾀ数"},
    {0x30, 8, FieldShow::Number, "MFTのｸﾗｽﾀ"},
    {0x38, 8, FieldShow::Number, "MFTﾐﾗｰのｸﾗｽﾀ"},
    {0x40, 1, FieldShow::Code, "ﾌｧｲﾙﾚｺｰﾄﾞの大きさ"},
    {0x44, 1, FieldShow::Code, "ｲﾝﾃﾞｯｸｽﾊﾞｯﾌｧの大きさ"},
    {0x48, 8, FieldShow::Code, "ｼﾘｱﾙ番号"},
};

const StructureField BOOT_SIGNATURE_FIELD = {0x1FE, 2, FieldShow::Code, "署名"};

// A value the layout was computed from the fields above, with no bytes of
// its own.
void addComputed(const char* name, const char* value)
{
    StructureRow* row = addStructureRow(0, 0);
    if (row == nullptr) return;
    addCell(*row, "%s", "");
    addCell(*row, "%s", "");
    addCell(*row, "%s", name);
    addCell(*row, "%s", value);
}

void addSectors(const char* name, SectorNumber first, SectorNumber last)
{
    char value[64];
    std::snprintf(value, sizeof value, "ｾｸﾀ %llu～%llu", (unsigned long long)first,
                  (unsigned long long)last);
    addComputed(name, value);
}

// Where the areas lie on what is shown: a partition's start is added, as
// the jumps and the image runs add it.
void addLayout()
{
    const VolumeLayout& layout = editorWindow.layout;
    if (!editorWindow.hasAreas) return;
    SectorNumber base = editorWindow.firstSector;
    uint64_t fatEnd = layout.reservedSectors + uint64_t(layout.fatCount) * layout.sectorsPerFat;
    char value[64];
    std::snprintf(value, sizeof value, "FAT%lu", (unsigned long)layout.fatType);
    addComputed("→ FATの種類", value);
    addSectors("→ FAT領域", base + layout.reservedSectors, base + fatEnd - 1);
    if (layout.dataStart > layout.dirStart)
        addSectors("→ DIR領域", base + layout.dirStart, base + layout.dataStart - 1);
    addSectors("→ DATA領域", base + layout.dataStart, base + layout.totalSectors - 1);
    std::snprintf(value, sizeof value, "2～%lu", (unsigned long)highestCluster(layout));
    addComputed("→ ｸﾗｽﾀ番号", value);
}

}  // namespace

void buildBootSectorRows(const uint8_t* sector, bool ntfs)
{
    setStructureColumns(FIELD_HEADERS, FIELD_COLUMNS);
    const VolumeLayout& layout = editorWindow.layout;
    addFieldRows(sector, COMMON_FIELDS, sizeof COMMON_FIELDS / sizeof COMMON_FIELDS[0]);
    if (ntfs) {
        setStructureTitle("ﾌﾞｰﾄｾｸﾀ  NTFS");
        addFieldRows(sector, NTFS_FIELDS, sizeof NTFS_FIELDS / sizeof NTFS_FIELDS[0]);
    } else {
        setStructureTitle("ﾌﾞｰﾄｾｸﾀ  FAT%lu", (unsigned long)layout.fatType);
        addFieldRows(sector, FAT_FIELDS, sizeof FAT_FIELDS / sizeof FAT_FIELDS[0]);
        if (layout.fatType == 32)
            addFieldRows(sector, FAT32_FIELDS, sizeof FAT32_FIELDS / sizeof FAT32_FIELDS[0]);
        else
            addFieldRows(sector, FAT16_FIELDS, sizeof FAT16_FIELDS / sizeof FAT16_FIELDS[0]);
    }
    addFieldRows(sector, &BOOT_SIGNATURE_FIELD, 1);
    if (!ntfs) addLayout();
}
