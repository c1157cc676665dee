#pragma once
#include <cstdint>

// IEEE CRC-32, bit-reflected: the CRC of GPT's header and entries, and of
// zip, PNG and Ethernet. Goes on from the CRC of the bytes before (0 for none).
uint32_t crc32(uint32_t crc, const uint8_t* bytes, uint64_t size);
