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
void onKeyDown(int key);
void onChar(uint8_t code);
void onClick(uint16_t x, uint16_t y);
