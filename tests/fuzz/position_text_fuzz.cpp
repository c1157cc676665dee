#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "editor/position_text.h"

namespace {

// A second reading, by the C library: the text's digits alone handed to
// strtoull in their base, which must take them all and not overflow.
bool readPlainly(std::string text, PositionText& position)
{
    size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return false;
    text = text.substr(first, text.find_last_not_of(" \t") - first + 1);
    position.sign = PositionSign::Absolute;
    if (text[0] == '+' || text[0] == '-') {
        position.sign = text[0] == '+' ? PositionSign::Forward : PositionSign::Backward;
        text.erase(0, 1);
    }
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] | 0x20) == 'x') {
        base = 16;
        text.erase(0, 2);
    } else if (text.size() > 1 && (text.back() | 0x20) == 'h') {
        base = 16;
        text.pop_back();
    }
    const char* digits = base == 16 ? "0123456789abcdefABCDEF" : "0123456789";
    if (text.empty() || text.find_first_not_of(digits) != std::string::npos) return false;
    errno = 0;
    char* end = nullptr;
    position.value = std::strtoull(text.c_str(), &end, base);
    return errno != ERANGE && *end == '\0';
}

}  // namespace

// Any text: read or refused alike by both readings, to the same sign and
// value; where it is read, a relative landing never wraps.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 8) return 0;
    uint64_t origin;
    std::memcpy(&origin, data, sizeof origin);
    std::string text(reinterpret_cast<const char*>(data + 8), size - 8);
    if (text.find('\0') != std::string::npos) return 0;

    PositionText position = {}, plain = {};
    bool read = parsePositionText(text.c_str(), position);
    if (read != readPlainly(text, plain)) __builtin_trap();
    if (!read) return 0;
    if (position.sign != plain.sign || position.value != plain.value) __builtin_trap();
    uint64_t result = 0;
    bool lands = resolvePosition(position, origin, result);
    switch (position.sign) {
    case PositionSign::Absolute:
        if (!lands || result != position.value) __builtin_trap();
        break;
    case PositionSign::Forward:
        if (lands != (result >= origin) || (lands && result - origin != position.value))
            __builtin_trap();
        break;
    case PositionSign::Backward:
        if (lands != (position.value <= origin) || (lands && origin - result != position.value))
            __builtin_trap();
        break;
    }
    return 0;
}
