#pragma once
#include <cstdint>

// The dump's text: a sector's bytes as characters, and as exported lines.
constexpr int DUMP_BYTES_PER_LINE = 16;
constexpr int DUMP_TEXT_LINE_BYTES = 72;  // the exported line, CR LF included

uint8_t toDisplayChar(uint8_t byte);
uint8_t toDisplayCharKanji(uint8_t byte);

// The 16 characters of line `line` of a sector of `size` bytes, no NUL.
void mapDumpCharacters(const uint8_t* sector, uint32_t size, int line, bool kanji, char* out);

// Line `line` of a sector of `size` bytes as exported: 72 bytes, CR LF at the
// end; `out` gets a NUL after them. In 2-byte mode Shift-JIS pairs count from
// the sector's start, as on the screen.
void formatDumpLine(const uint8_t* sector, uint32_t size, int line, bool kanji,
                    char out[DUMP_TEXT_LINE_BYTES + 1]);
