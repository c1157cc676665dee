#include "platform/crc32.h"

namespace {

struct CrcTable {
    uint32_t entry[256];
};

constexpr CrcTable makeCrcTable()
{
    CrcTable table{};
    for (uint32_t i = 0; i < 256; i++) {
        uint32_t c = i;
        for (int bit = 0; bit < 8; bit++) c = (c & 1) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table.entry[i] = c;
    }
    return table;
}

constexpr CrcTable CRC_TABLE = makeCrcTable();

}  // namespace

uint32_t crc32(uint32_t crc, const uint8_t* bytes, uint64_t size)
{
    uint32_t c = ~crc;
    for (uint64_t i = 0; i < size; i++) c = CRC_TABLE.entry[(c ^ bytes[i]) & 0xFF] ^ (c >> 8);
    return ~c;
}
