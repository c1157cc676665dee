#include "editor/position_text.h"

#include <cstring>

namespace {

bool isSpace(char c)
{
    return c == ' ' || c == '\t';
}

int digitValue(char c, unsigned base)
{
    int value = -1;
    if (c >= '0' && c <= '9') value = c - '0';
    if (c >= 'A' && c <= 'F') value = c - 'A' + 10;
    if (c >= 'a' && c <= 'f') value = c - 'a' + 10;
    return value >= 0 && unsigned(value) < base ? value : -1;
}

// Digits from `first` up to `end`, none of them left out.
bool readDigits(const char* first, const char* end, unsigned base, uint64_t& value)
{
    if (first == end) return false;
    value = 0;
    for (const char* c = first; c != end; c++) {
        int digit = digitValue(*c, base);
        if (digit < 0 || value > (UINT64_MAX - unsigned(digit)) / base) return false;
        value = value * base + unsigned(digit);
    }
    return true;
}

bool readNumber(const char* first, const char* end, uint64_t& value)
{
    if (end - first > 2 && first[0] == '0' && (first[1] == 'x' || first[1] == 'X'))
        return readDigits(first + 2, end, 16, value);
    if (end - first > 1 && (end[-1] == 'h' || end[-1] == 'H'))
        return readDigits(first, end - 1, 16, value);
    return readDigits(first, end, 10, value);
}

}  // namespace

bool parsePositionText(const char* text, PositionText& position)
{
    const char* first = text;
    const char* end = text + std::strlen(text);
    while (first != end && isSpace(*first)) first++;
    while (end != first && isSpace(end[-1])) end--;
    position.sign = PositionSign::Absolute;
    if (first != end && (*first == '+' || *first == '-')) {
        position.sign = *first == '+' ? PositionSign::Forward : PositionSign::Backward;
        first++;
    }
    return readNumber(first, end, position.value);
}

bool resolvePosition(const PositionText& position, uint64_t origin, uint64_t& result)
{
    switch (position.sign) {
    case PositionSign::Absolute: result = position.value; return true;
    case PositionSign::Forward:
        result = origin + position.value;
        return position.value <= UINT64_MAX - origin;
    case PositionSign::Backward: result = origin - position.value; return position.value <= origin;
    }
    return false;
}
