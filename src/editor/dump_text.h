#pragma once
#include <cstdint>

// The dump's text: a sector's bytes as characters, and as exported lines.
constexpr int DUMP_BYTES_PER_LINE = 16;
constexpr int DUMP_TEXT_LINE_BYTES = 72;  // the exported line, CR LF included

uint8_t toDisplayChar(uint8_t byte);
uint8_t toDisplayCharKanji(uint8_t byte);

// The 16 characters of line `line` of a sector of `size` bytes, no NUL.
// `onTrail`: the line begins with the trail of a pair the line before opened,
// as the call for that line returned (false for line 0); returns the same for
// the next line, so that a walk over the lines pairs in one pass.
bool mapDumpCharacters(const uint8_t* sector, uint32_t size, int line, bool kanji, bool onTrail,
                       char* out);

// The characters of bytes [first, first + length) of a sector of `size`
// bytes, one a byte, no NUL: as the dump shows them, but with no line to
// break a pair, so a pair split across two dump lines stays whole. Half a
// pair that the bytes' edges cut off is a space.
void mapSpanCharacters(const uint8_t* sector, uint32_t size, uint32_t first, uint32_t length,
                       bool kanji, char* out);

// Line `line` of a sector of `size` bytes as exported: 72 bytes, CR LF at the
// end; `out` gets a NUL after them. In 2-byte mode Shift-JIS pairs count from
// the sector's start, as on the screen: a line on its own finds its pairing by
// looking back over the lead bytes before it.
void formatDumpLine(const uint8_t* sector, uint32_t size, int line, bool kanji,
                    char out[DUMP_TEXT_LINE_BYTES + 1]);

// Every line of a sector of `size` bytes as formatDumpLine gives it, one after
// another, pairing in one pass: size / 16 lines and a NUL after the last.
// Returns their length.
uint32_t formatDumpText(const uint8_t* sector, uint32_t size, bool kanji, char* out);
