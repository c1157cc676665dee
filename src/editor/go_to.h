#pragma once
#include <cstdint>

// The go to dialog's rules. What the typed position counts: a byte from the
// start of the source shown (as the status bar's 位置), or a sector.
enum class GoToKind {
    Byte,
    Sector,
};

constexpr uint32_t GO_TO_TEXT_SIZE = 64;

// What the dialog offers: the last position gone to and its kind, for the
// program's life; at first an empty text and a byte position.
struct GoToChoice {
    char text[GO_TO_TEXT_SIZE];
    GoToKind kind;
};

extern GoToChoice goToChoice;

// OK: shows the sector holding the position and puts the caret on its byte
// (a sector's byte 0), in the hex column and in view. A relative position
// counts from the caret's byte, or from the sector shown. False, with the
// message, when nothing moved and the dialog stays.
bool goToPosition(const char* text, GoToKind kind);
