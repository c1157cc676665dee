#include "driveinfo/partition_list.h"

#include <cstdio>
#include <cstring>

#include "editor/editor_state.h"
#include "editor/navigation.h"
#include "volume/boot_sector.h"
#include "volume/partition_names.h"

PartitionRows partitionRows;

const char* const PARTITION_LIST_HEADERS[PARTITION_LIST_COLUMNS] = {
    "番号", "種別", "ﾀｲﾌﾟ", "開始ｾｸﾀ", "終了ｾｸﾀ", "ｻｲｽﾞ", "内容", "問題",
};

namespace {

enum Column { NUMBER, SCHEME, TYPE, FIRST, LAST, SIZE, CONTENTS, PROBLEMS };

const char* schemeName(PartitionScheme scheme)
{
    switch (scheme) {
    case PartitionScheme::Primary: return "MBR 基本";
    case PartitionScheme::Logical: return "MBR 論理";
    case PartitionScheme::Gpt: return "GPT";
    }
    return "";
}

// Sizes as disk tools give them: the largest binary unit that keeps a
// figure of at least 1, to one decimal.
void formatSize(uint64_t bytes, char* text)
{
    const char* const UNITS[] = {"ﾊﾞｲﾄ", "KB", "MB", "GB", "TB", "PB"};
    int unit = 0;
    uint64_t whole = bytes, tenths = 0;
    while (whole >= 1024 && unit < 5) {
        tenths = (whole % 1024) * 10 / 1024;
        whole /= 1024;
        unit++;
    }
    if (unit == 0)
        std::snprintf(text, PARTITION_TEXT_SIZE, "%llu %s", (unsigned long long)whole, UNITS[0]);
    else
        std::snprintf(text, PARTITION_TEXT_SIZE, "%llu.%llu %s", (unsigned long long)whole,
                      (unsigned long long)tenths, UNITS[unit]);
}

void formatProblems(uint32_t problems, char* text)
{
    text[0] = '\0';
    if (problems & PARTITION_PAST_DISK_END) std::strcat(text, "ﾃﾞｨｽｸの外 ");
    if (problems & PARTITION_OVERLAPS) std::strcat(text, "他と重複");
}

// What the first sector holds; a partition that cannot be read from is
// never read.
void describeContents(const Partition& partition, char* text)
{
    alignas(SECTOR_BUFFER_ALIGNMENT) static uint8_t sector[IMAGE_BUFFER_SIZE];
    bool read = isUsablePartition(partition) &&
                SectorIo::transfer(SectorOp::Read, editor.source, 1, partition.firstSector,
                                   sector) == SECTOR_STATUS_OK;
    if (!read) {
        std::snprintf(text, PARTITION_TEXT_SIZE, "%s", isUsablePartition(partition) ? "読めません" : "");
        return;
    }
    describeVolumeStart(sector, partitionTable.sectorSize, text, PARTITION_TEXT_SIZE);
}

void fillRow(const Partition& partition, PartitionRow& row)
{
    row.firstSector = partition.firstSector;
    row.usable = isUsablePartition(partition);
    char(&t)[PARTITION_LIST_COLUMNS][PARTITION_TEXT_SIZE] = row.texts;
    std::snprintf(t[NUMBER], PARTITION_TEXT_SIZE, "%d", int(partition.number));
    std::snprintf(t[SCHEME], PARTITION_TEXT_SIZE, "%s", schemeName(partition.scheme));
    partitionTypeName(partition, t[TYPE], PARTITION_TEXT_SIZE);
    std::snprintf(t[FIRST], PARTITION_TEXT_SIZE, "%llu", (unsigned long long)partition.firstSector);
    // A partition of no sectors has no last one; one that wraps is shown as it wraps.
    if (partition.sectorCount == 0)
        t[LAST][0] = '\0';
    else
        std::snprintf(t[LAST], PARTITION_TEXT_SIZE, "%llu",
                      (unsigned long long)(partition.firstSector + partition.sectorCount - 1));
    uint64_t sectors = partition.sectorCount;
    uint64_t size = partitionTable.sectorSize;
    formatSize(sectors > UINT64_MAX / size ? UINT64_MAX : sectors * size, t[SIZE]);
    describeContents(partition, t[CONTENTS]);
    formatProblems(partition.problems, t[PROBLEMS]);
}

}  // namespace

void buildPartitionRows()
{
    partitionRows.count = 0;
    for (int32_t k = 0; k < partitionTable.count; k++)
        fillRow(partitionTable.entries[k], partitionRows.rows[partitionRows.count++]);
    describeTableState(partitionTable, partitionRows.note, sizeof partitionRows.note);
}

bool showPartitionRow(int32_t row)
{
    if (row < 0 || row >= partitionRows.count || !partitionRows.rows[row].usable) return false;
    return loadSector(editor.source, partitionRows.rows[row].firstSector);
}
