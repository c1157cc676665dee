#pragma once
#include <cstdint>

// On-disk structures keep their numbers little-endian, whatever the processor.
inline uint32_t read16(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8;
}

inline uint32_t read32(const uint8_t* p)
{
    return read16(p) | read16(p + 2) << 16;
}

inline uint64_t read64(const uint8_t* p)
{
    return read32(p) | uint64_t(read32(p + 4)) << 32;
}
