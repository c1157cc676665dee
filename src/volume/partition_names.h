#pragma once
#include <cstddef>
#include <cstdint>

#include "volume/partition_table.h"

// What a sector of the partition table is, as the status bar and the write
// question name it: "MBR", "EBR", "GPTﾍｯﾀﾞ", "GPTｴﾝﾄﾘ"; empty for none.
const char* tableSectorName(TableSector kind);
// The same as a message says it.
const char* tableSectorPhrase(TableSector kind);

// What a volume's first sector holds, as the partition list says it:
// "FAT16 (LABEL)", "NTFS", "exFAT", "空" (all zeros), "不明".
void describeVolumeStart(const uint8_t* sector, uint32_t sectorSize, char* text, size_t size);

// How the table was read where it was not as it should be (the GPT's
// backup header used, or both damaged; the EBR chain ended early, and why);
// empty otherwise.
void describeTableState(const PartitionTable& table, char* text, size_t size);
