#pragma once
#include <cstdint>

// A position or sector number as the user types it: decimal (17408), or
// hexadecimal as 0x4400 or 4400h (digits and marks in either case), with
// spaces around it. A leading + or - makes it a distance from where the
// user is rather than a place of its own.
enum class PositionSign {
    Absolute,
    Forward,   // +
    Backward,  // -
};

struct PositionText {
    PositionSign sign;
    uint64_t value;
};

// False for anything else, an empty text, or a value past 64 bits.
bool parsePositionText(const char* text, PositionText& position);

// Where `position` lands, counted from `origin` when it is relative: false
// before 0 or past 64 bits.
bool resolvePosition(const PositionText& position, uint64_t origin, uint64_t& result);
