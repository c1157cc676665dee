#pragma once
#include <cstdint>

// The fill dialog's text: at most FILL_TEXT_SIZE - 1 characters.
constexpr uint32_t FILL_TEXT_SIZE = 256;

// What the fill dialog offers: the last text filled with while the program
// runs, "00" at first.
extern char fillText[FILL_TEXT_SIZE];

// OK in the fill dialog: the selected bytes filled with the text's hex bytes
// (see parseHexBytes) over and over, cut where the selection ends, as one
// edit. False, with a message and nothing changed, for a text that is no
// hex: the dialog stays.
bool acceptFillText(const char* text);
