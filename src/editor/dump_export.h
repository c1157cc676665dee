#pragma once
#include <cstdint>

#include "disk/sector_io.h"

// Room for the dump text of the largest sector: 72 bytes of text for every 16
// of the sector, and a terminating zero.
constexpr uint32_t DUMP_TEXT_SIZE = 5 * IMAGE_BUFFER_SIZE;

// The dump of the sector shown, as edited, in the character mode in force:
// every line as exported, CR LF each. Returns its length; a zero follows.
uint32_t buildDumpText(char out[DUMP_TEXT_SIZE]);

// The dump text into a file chosen in a save dialog, or onto the clipboard.
void exportDump(bool toClipboard);
