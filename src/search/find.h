#pragma once
#include <cstdint>

#include "search/byte_search.h"

// Room for a pattern as typed: 256 bytes as hex digits, with a space between each two.
constexpr uint32_t FIND_TEXT_SIZE = 3 * SEARCH_PATTERN_MAX + 1;

// The last search asked for: offered again when the find dialog reopens and
// repeated by 次を検索, for the program's life.
struct FindRequest {
    char text[FIND_TEXT_SIZE];
    bool isText;    // the bytes of the text as typed, not hex digits
    bool backward;  // 上へ: towards sector 0
    bool asked;     // whether there has been a search to repeat
};

extern FindRequest findRequest;

// The bytes `text` stands for: hex digit pairs, with spaces between the bytes
// or none, or the text's own bytes. False for no bytes, more than
// SEARCH_PATTERN_MAX, or hex that is not whole bytes.
bool parseFindPattern(const char* text, bool isText, SearchPattern& pattern);

// Searches the shown drive for the request from the cursor on: a match is
// shown, caret on its first byte and its bytes marked; anything else leaves
// the editor as it was and, unless the user stopped the search, says why.
void runFind();
