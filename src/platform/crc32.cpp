#include "platform/crc32.h"

#include "platform/little_endian.h"

namespace {

// Entry k of a byte is its CRC followed by k zero bytes: eight bytes are
// then taken in one step, each from its own table (slicing by eight), about
// five times as fast as a byte at a time, which alone took longer over a
// drive than reading it.
struct CrcTables {
    uint32_t entry[8][256];
};

constexpr CrcTables makeCrcTables()
{
    CrcTables tables{};
    for (uint32_t i = 0; i < 256; i++) {
        uint32_t c = i;
        for (int bit = 0; bit < 8; bit++) c = (c & 1) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        tables.entry[0][i] = c;
    }
    for (int k = 1; k < 8; k++)
        for (uint32_t i = 0; i < 256; i++) {
            uint32_t before = tables.entry[k - 1][i];
            tables.entry[k][i] = (before >> 8) ^ tables.entry[0][before & 0xFF];
        }
    return tables;
}

constexpr CrcTables CRC_TABLES = makeCrcTables();

}  // namespace

uint32_t crc32(uint32_t crc, const uint8_t* bytes, uint64_t size)
{
    const auto& t = CRC_TABLES.entry;
    uint32_t c = ~crc;
    for (; size >= 8; bytes += 8, size -= 8) {
        uint32_t low = c ^ read32(bytes), high = read32(bytes + 4);
        c = t[7][low & 0xFF] ^ t[6][(low >> 8) & 0xFF] ^ t[5][(low >> 16) & 0xFF] ^
            t[4][low >> 24] ^ t[3][high & 0xFF] ^ t[2][(high >> 8) & 0xFF] ^
            t[1][(high >> 16) & 0xFF] ^ t[0][high >> 24];
    }
    for (; size > 0; bytes++, size--) c = t[0][(c ^ *bytes) & 0xFF] ^ (c >> 8);
    return ~c;
}
