#pragma once
#include <cstdint>

// `length` bytes of the shown sector from offset `first`.
struct ByteSpan {
    uint32_t first;
    uint32_t length;
};

// The selected bytes; a length of 0 when nothing is selected.
ByteSpan selectedBytes();

// The offset of the caret's byte in the sector.
uint32_t caretByte();
