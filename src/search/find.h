#pragma once
#include <cstdint>

#include "search/byte_search.h"

// Room for a pattern as typed: 256 bytes as hex digits, with a space between each two.
constexpr uint32_t FIND_TEXT_SIZE = 3 * SEARCH_PATTERN_MAX + 1;

// What the typed text stands for: hex digits, the text's own Shift-JIS
// bytes, or the text as UTF-16 (least significant byte first), as Windows
// and the long names of FAT directories keep it.
enum class FindKind { Hex, Text, Utf16 };

// The last search asked for: offered again when the find dialog reopens and
// repeated by 次を検索, for the program's life.
struct FindRequest {
    char text[FIND_TEXT_SIZE];
    FindKind kind;
    bool ignoreCase;  // 大文字と小文字を区別しない: kept for hex too, which it leaves alone
    bool backward;    // 上へ: towards sector 0
    bool asked;     // whether there has been a search to repeat
};

extern FindRequest findRequest;

// The bytes `text` stands for: hex digit pairs, with spaces between the bytes
// or none, the text's own bytes, or its UTF-16 form. False for no bytes, more
// than SEARCH_PATTERN_MAX, hex that is not whole bytes, or a text that is no
// Shift-JIS for UTF-16. With `ignoreCase` a text's Latin letters, ASCII and
// full-width, match in either case.
bool parseFindPattern(const char* text, FindKind kind, bool ignoreCase, SearchPattern& pattern);

// Searches the shown drive for the request from the cursor on: a match is
// shown, caret on its first byte and its bytes marked; anything else leaves
// the editor as it was and, unless the user stopped the search, says why.
void runFind();
