#include "editor/hex_bytes.h"

#include <cstring>

#include "editor/dump_view.h"

namespace {

bool isSeparator(char c)
{
    return c != '\0' && std::strchr(" \t\r\n,", c) != nullptr;
}

// The run at `text`, up to a separator or the end: false when it is no run
// of pairs. Returns where it ends in `end`.
bool readRun(const char* text, const char*& end, uint8_t* bytes, uint32_t room, uint32_t& count)
{
    bool prefixed = text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const char* at = prefixed ? text + 2 : text;
    uint32_t pairs = 0;
    for (; isHexDigit(at[0]) && isHexDigit(at[1]); at += 2, pairs++) {
        if (count < room) bytes[count] = uint8_t(16 * hexDigitValue(at[0]) + hexDigitValue(at[1]));
        count++;
    }
    end = at;
    bool whole = *at == '\0' || isSeparator(*at);
    return whole && pairs > 0 && (!prefixed || pairs == 1);
}

}  // namespace

bool parseHexBytes(const char* text, uint8_t* bytes, uint32_t room, uint32_t& count)
{
    count = 0;
    const char* at = text;
    while (*at != '\0') {
        if (isSeparator(*at)) {
            at++;
            continue;
        }
        if (!readRun(at, at, bytes, room, count)) return false;
    }
    return count > 0;
}
