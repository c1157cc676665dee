#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "editor/value_text.h"

namespace {

uint32_t largestOf(int width)
{
    return width == 4 ? 0xFFFFFFFF : (1u << 8 * width) - 1;
}

// The number the box's text writes, as a person reads it: a text that reads
// as 0 only by the decimal box's overflow rule does not match its value.
uint64_t readBack(ValueBox box, const char* text)
{
    uint64_t base = box == ValueBox::Hex ? 16 : box == ValueBox::Decimal ? 10 : 2;
    uint64_t value = 0;
    for (; *text != '\0' && value <= 0xFFFFFFFF; text++) {
        int digit = *text <= '9' ? *text - '0' : (*text | 0x20) - 'a' + 10;
        value = value * base + uint64_t(digit);
    }
    return value;
}

bool isCanonical()
{
    char hex[9], decimal[11], binary[33];
    std::snprintf(hex, sizeof hex, "%X", unsigned(valueEdit.value));
    std::snprintf(decimal, sizeof decimal, "%u", unsigned(valueEdit.value));
    toBinaryText(valueEdit.value, binary);
    return std::strcmp(hex, valueEdit.hexText) == 0 &&
           std::strcmp(decimal, valueEdit.decimalText) == 0 &&
           std::strcmp(binary, valueEdit.binaryText) == 0;
}

}  // namespace

// A width, a starting value, a box, and the box's text after a keystroke.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 6) return 0;
    static const int WIDTHS[] = {1, 2, 4};
    int width = WIDTHS[data[0] % 3];
    ValueBox box = ValueBox(data[1] % 3);
    uint32_t start;
    std::memcpy(&start, data + 2, sizeof start);
    char text[65] = {};
    std::memcpy(text, data + 6, size - 6 < 64 ? size - 6 : 64);

    setEditedValue(width, start & largestOf(width));
    ValueEdit before = valueEdit;
    if (acceptBoxText(box, text)) {
        if (valueEdit.value > largestOf(width) || readBack(box, text) != valueEdit.value)
            __builtin_trap();
    } else if (std::memcmp(&before, &valueEdit, sizeof before) != 0) {
        __builtin_trap();
    }
    if (!isCanonical()) __builtin_trap();
    return 0;
}
