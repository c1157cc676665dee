#pragma once
#include <cstdint>

// The main window's size limits, as WM_GETMINMAXINFO asks for them.
struct SizeLimits {
    int32_t minWidth, minHeight;
    int32_t maxWidth, maxHeight;
    bool limitMaximum;  // false: the platform's default maximum stays
};

// Scroll bar request codes, as the platform numbers them.
constexpr int SCROLL_LINE_UP = 0;
constexpr int SCROLL_LINE_DOWN = 1;
constexpr int SCROLL_PAGE_UP = 2;
constexpr int SCROLL_PAGE_DOWN = 3;
constexpr int SCROLL_THUMB_POSITION = 4;
constexpr int SCROLL_THUMB_TRACK = 5;

void updateScrollBars();
void trackSizeLimits(SizeLimits& limits);
void scrollToY(int32_t position);
void scrollToX(int32_t position);
// One scroll bar message: `bar` is SCROLL_BAR_VERT or SCROLL_BAR_HORZ.
void onScrollRequest(int bar, int code, int32_t thumb);
