#pragma once
#include <cstdint>

#include "volume/partition_table.h"

// The partition list of the disk shown: a row per partition in the table's
// order, with what its first sector holds and what is wrong with it.
constexpr int PARTITION_LIST_COLUMNS = 8;
constexpr int PARTITION_TEXT_SIZE = 64;

extern const char* const PARTITION_LIST_HEADERS[PARTITION_LIST_COLUMNS];

struct PartitionRow {
    SectorNumber firstSector;
    bool usable;  // inside the disk and overlapping nothing: it may be shown
    char texts[PARTITION_LIST_COLUMNS][PARTITION_TEXT_SIZE];
};

struct PartitionRows {
    PartitionRow rows[PARTITION_LIST_MAX];
    int32_t count;
    char note[256];  // how the table was read, when not as it should be
};

extern PartitionRows partitionRows;

// From the table the editor read with the sector shown; each partition's
// first sector is read for what it holds.
void buildPartitionRows();

// Enter or a double click on `row`: shows its first sector. False when the
// row names a partition that lies outside the disk or over another.
bool showPartitionRow(int32_t row);
