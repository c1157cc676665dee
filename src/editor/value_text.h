#pragma once
#include <cstdint>

// One number edited as hexadecimal, decimal and binary text. The texts are
// always the canonical writings of `value`; a box may show the same value
// written otherwise (leading zeros, or empty for 0).
struct ValueEdit {
    int width;  // bytes edited: 1, 2 or 4
    uint32_t value;
    char hexText[9];       // "%X"
    char decimalText[11];  // "%u"
    char binaryText[33];   // toBinaryText
};

extern ValueEdit valueEdit;

enum class ValueBox { Hex, Decimal, Binary };

// Bit 31 down to bit 0 without leading zeros; 0 gives "0".
void toBinaryText(uint32_t value, char out[33]);

// The decimal box's reading: empty, or past 32 bits, is 0.
uint32_t decimalTextValue(const char* text);

// Sets `width` and `value` and forms the three texts.
void setEditedValue(int width, uint32_t value);

// A box's new text after a keystroke. Accepted: the value and the texts are
// formed anew and true comes back. Refused: nothing changes, and the box is
// to show acceptedText(box) again.
bool acceptBoxText(ValueBox box, const char* text);
const char* acceptedText(ValueBox box);
