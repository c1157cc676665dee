#pragma once
#include <cstdint>

// Bytes typed or copied as hex: pairs of digits, any number of pairs to a
// run (414243), or one pair after 0x or 0X (0x41); runs apart by spaces,
// tabs, line breaks or commas. False for anything else, an odd run, or no
// byte at all. `count` is every byte the text holds; the first `room` of
// them land in `bytes`.
bool parseHexBytes(const char* text, uint8_t* bytes, uint32_t room, uint32_t& count);
