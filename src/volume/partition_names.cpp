#include "volume/partition_names.h"

#include <cstdio>
#include <cstring>

#include "volume/boot_sector.h"

const char* tableSectorName(TableSector kind)
{
    switch (kind) {
    case TableSector::Mbr: return "MBR";
    case TableSector::Ebr: return "EBR";
    case TableSector::GptHeader: return "GPTﾍｯﾀﾞ";
    case TableSector::GptEntries: return "GPTｴﾝﾄﾘ";
    default: return "";
    }
}

const char* tableSectorPhrase(TableSector kind)
{
    switch (kind) {
    case TableSector::Mbr: return "MBR（マスターブートレコード）";
    case TableSector::Ebr: return "EBR（拡張パーティションのブートレコード）";
    case TableSector::GptHeader: return "GPTのヘッダ";
    case TableSector::GptEntries: return "GPTのパーティションエントリ";
    default: return "";
    }
}

void describeVolumeStart(const uint8_t* sector, uint32_t sectorSize, char* text, size_t size)
{
    bool empty = true;
    for (uint32_t k = 0; k < sectorSize && empty; k++) empty = sector[k] == 0;
    VolumeLayout layout = parseBootSector(sector, false);
    uint64_t serial = 0;
    char label[BOOT_LABEL_SIZE] = "";
    bool labelled = readBootSerial(sector, serial, label) && label[0] != '\0';
    if (empty)
        std::snprintf(text, size, "空");
    else if (std::memcmp(sector + 3, "NTFS    ", 8) == 0)
        std::snprintf(text, size, "NTFS");
    else if (std::memcmp(sector + 3, "EXFAT   ", 8) == 0)
        std::snprintf(text, size, "exFAT");
    else if (layout.areasInOrder && layout.bytesPerSector == sectorSize)
        std::snprintf(text, size, labelled ? "FAT%lu (%s)" : "FAT%lu", (unsigned long)layout.fatType,
                      label);
    else
        std::snprintf(text, size, "不明");
}

namespace {

const char* chainEndText(ChainEnd end)
{
    switch (end) {
    case ChainEnd::Loop: return "EBRの連鎖がﾙｰﾌﾟしているため、ｾｸﾀ %llu で読むのをやめました";
    case ChainEnd::OutsideExtended:
        return "EBRの連鎖が拡張ﾊﾟｰﾃｨｼｮﾝの外を指しているため、ｾｸﾀ %llu で読むのをやめました";
    case ChainEnd::PastDisk:
        return "EBRの連鎖がﾃﾞｨｽｸの外を指しているため、ｾｸﾀ %llu で読むのをやめました";
    case ChainEnd::TooLong: return "EBRの連鎖が長すぎるため、ｾｸﾀ %llu で読むのをやめました";
    case ChainEnd::Unreadable: return "EBR (ｾｸﾀ %llu) が読めないか壊れています";
    default: return nullptr;
    }
}

}  // namespace

void describeTableState(const PartitionTable& table, char* text, size_t size)
{
    int at = 0;
    text[0] = '\0';
    if (table.gpt == GptState::Backup)
        at = std::snprintf(text, size, "GPTの先頭のﾍｯﾀﾞが壊れているため、予備のﾍｯﾀﾞから読みました。");
    else if (table.gpt == GptState::Damaged)
        at = std::snprintf(text, size, "GPTのﾍｯﾀﾞが両方とも壊れているため、MBRだけを示します。");
    if (table.listCut && at >= 0 && size_t(at) < size)
        at += std::snprintf(text + at, size - at, "GPTのｴﾝﾄﾘが多すぎるため、最初の%d個だけを示します。",
                            int(PARTITION_LIST_MAX));
    const char* chain = chainEndText(table.chainEnd);
    if (chain == nullptr || at < 0 || size_t(at) >= size) return;
    at += std::snprintf(text + at, size - at, chain, (unsigned long long)table.chainEndSector);
    if (at > 0 && size_t(at) < size) std::snprintf(text + at, size - at, "。");
}
