#pragma once
#include <cstdint>

// The status bar's parts: where the caret is in the sector and on the drive,
// the values at the caret, the area the sector lies in, the bytes changed.
constexpr int STATUS_PART_COUNT = 5;
constexpr uint32_t STATUS_TEXT_SIZE = 80;

struct StatusTexts {
    char parts[STATUS_PART_COUNT][STATUS_TEXT_SIZE];
};

// The texts for the shown sector and caret; all empty with no drive shown.
void formatStatus(StatusTexts& texts);
// Hands the texts to the window's status bar.
void showStatus();
