#include "editor/value_text.h"

#include <cstdio>
#include <cstring>

ValueEdit valueEdit;

namespace {

struct WidthLimits {
    size_t hexDigits;
    size_t decimalDigits;
    uint32_t largest;
    size_t binaryDigits;
};

WidthLimits limitsOf(int width)
{
    switch (width) {
    case 1: return {2, 3, 0xFF, 8};
    case 2: return {4, 5, 0xFFFF, 16};
    default: return {8, 10, 0xFFFFFFFF, 32};
    }
}

int digitValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

bool hasOnlyDigits(const char* text, int base)
{
    for (; *text != '\0'; text++) {
        int digit = digitValue(*text);
        if (digit < 0 || digit >= base) return false;
    }
    return true;
}

// The digits (all checked) in `base`; false when the number passes 32 bits.
bool readNumber(const char* text, int base, uint32_t* value)
{
    uint64_t number = 0;
    for (; *text != '\0'; text++) {
        number = number * base + digitValue(*text);
        if (number > 0xFFFFFFFF) return false;
    }
    *value = uint32_t(number);
    return true;
}

bool acceptHex(const char* text, const WidthLimits& limits, uint32_t* value)
{
    return hasOnlyDigits(text, 16) && std::strlen(text) <= limits.hexDigits &&
           readNumber(text, 16, value);
}

// A number past 32 bits is refused even when it is no longer than the last
// one: reading it as 0 would store zeros the user never typed. A longer text
// reading 0 is a zero added in front of zeros.
bool acceptDecimal(const char* text, const WidthLimits& limits, uint32_t* value)
{
    size_t length = std::strlen(text);
    if (!hasOnlyDigits(text, 10) || length > limits.decimalDigits) return false;
    if (!readNumber(text, 10, value)) return false;
    if (length > std::strlen(valueEdit.decimalText) && *value == 0) return false;
    return *value <= limits.largest;
}

bool acceptBinary(const char* text, const WidthLimits& limits, uint32_t* value)
{
    return hasOnlyDigits(text, 2) && std::strlen(text) <= limits.binaryDigits &&
           readNumber(text, 2, value);
}

}  // namespace

void toBinaryText(uint32_t value, char out[33])
{
    int top = 31;
    while (top > 0 && (value >> top & 1) == 0) top--;
    int at = 0;
    for (int bit = top; bit >= 0; bit--) out[at++] = char('0' + (value >> bit & 1));
    out[at] = '\0';
}

uint32_t decimalTextValue(const char* text)
{
    uint32_t value = 0;
    if (!hasOnlyDigits(text, 10) || !readNumber(text, 10, &value)) return 0;
    return value;
}

void setEditedValue(int width, uint32_t value)
{
    valueEdit.width = width;
    valueEdit.value = value;
    std::snprintf(valueEdit.hexText, sizeof valueEdit.hexText, "%X", unsigned(value));
    std::snprintf(valueEdit.decimalText, sizeof valueEdit.decimalText, "%u", unsigned(value));
    toBinaryText(value, valueEdit.binaryText);
}

bool acceptBoxText(ValueBox box, const char* text)
{
    WidthLimits limits = limitsOf(valueEdit.width);
    uint32_t value = 0;
    bool accepted = box == ValueBox::Hex       ? acceptHex(text, limits, &value)
                    : box == ValueBox::Decimal ? acceptDecimal(text, limits, &value)
                                               : acceptBinary(text, limits, &value);
    if (accepted) setEditedValue(valueEdit.width, value);
    return accepted;
}

const char* acceptedText(ValueBox box)
{
    switch (box) {
    case ValueBox::Hex: return valueEdit.hexText;
    case ValueBox::Decimal: return valueEdit.decimalText;
    default: return valueEdit.binaryText;
    }
}
