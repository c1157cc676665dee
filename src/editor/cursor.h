#pragma once
#include <cstdint>

// Virtual key codes the cursor answers to, as Windows numbers them.
constexpr int KEY_BACK = 0x08;
constexpr int KEY_TAB = 0x09;
constexpr int KEY_PRIOR = 0x21;
constexpr int KEY_NEXT = 0x22;
constexpr int KEY_END = 0x23;
constexpr int KEY_HOME = 0x24;
constexpr int KEY_LEFT = 0x25;
constexpr int KEY_UP = 0x26;
constexpr int KEY_RIGHT = 0x27;
constexpr int KEY_DOWN = 0x28;

void recreateCaret();
void placeCaret(bool scrollIntoView);
// A move key with Shift selects from where the selection began (or the
// caret's byte) to where the caret goes; without Shift it lets go of it.
void onKeyDown(int key);
void onChar(uint8_t code);
// The left button pressed at client pixel (x, y): true when it landed on a
// byte, where a drag may select from.
bool onClick(int32_t x, int32_t y);
// The pointer moved to (x, y), anywhere, with the button still down: the
// bytes from the pressed one to the one under it, in the pressed column.
void onDrag(int32_t x, int32_t y);

void clearSelection();
// Bytes `first` to `last` selected, the caret on the last.
void selectBytes(uint32_t first, uint32_t last);
void selectWholeSector();
