#include "editor/view_scroll.h"

#include "editor/dump_view.h"
#include "editor/editor_state.h"
#include "platform/platform.h"

namespace {

constexpr int32_t MIN_WINDOW_WIDTH = 240;
constexpr int32_t MIN_WINDOW_HEIGHT = 80;
// Room for the frame, caption, menu and scroll bars around the dump.
constexpr int32_t FRAME_EXTRA_WIDTH = 32;
constexpr int32_t FRAME_EXTRA_HEIGHT = 64;

// Passes of showing and hiding the bars before the client area settles: one
// bar shown or hidden can change whether the other is needed, and no more.
constexpr int SCROLL_BAR_PASSES = 3;

// Shows or hides one bar as the client area last measured needs it, then
// measures again: true when that resized the client area.
bool fitScrollBarVisibility(int bar)
{
    bool needed = bar == SCROLL_BAR_VERT ? view.clientHeight < view.contentHeight
                                         : view.clientWidth < view.contentWidth;
    platform.showScrollBar(bar, needed);
    int32_t width = 0, height = 0;
    platform.getClientSize(&width, &height);
    bool resized = width != view.clientWidth || height != view.clientHeight;
    view.clientWidth = width;
    view.clientHeight = height;
    return resized;
}

// Shown with the scrollable part as its range while the content is larger
// than the client extent, else hidden at offset 0.
void setScrollRange(int bar, int32_t content, int32_t client, int32_t& offset)
{
    if (client < content) {
        platform.setScrollRange(bar, content - client, true);
        if (offset > content - client) offset = content - client;
    } else {
        offset = 0;
    }
}

void scrollTo(int bar, int32_t position, int32_t content, int32_t client, int32_t& offset)
{
    if (position > content - client) position = content - client;
    if (position < 0) position = 0;
    if (position == offset) return;
    offset = position;
    platform.setScrollPos(bar, position);
    platform.invalidate(nullptr);
}

}  // namespace

// A bar shown or hidden resizes the client area. Windows reports that at
// once, re-entering here before the outer call goes on, so the ranges are set
// only once a whole pass changed nothing, from the client area as it is then.
void updateScrollBars()
{
    platform.getClientSize(&view.clientWidth, &view.clientHeight);
    if (editor.source.kind == SourceKind::None) return;
    for (int pass = 0; pass < SCROLL_BAR_PASSES; pass++) {
        bool resized = fitScrollBarVisibility(SCROLL_BAR_VERT);
        if (!fitScrollBarVisibility(SCROLL_BAR_HORZ) && !resized) break;
    }
    setScrollRange(SCROLL_BAR_VERT, view.contentHeight, view.clientHeight, view.scrollY);
    setScrollRange(SCROLL_BAR_HORZ, view.contentWidth, view.clientWidth, view.scrollX);
}

void trackSizeLimits(SizeLimits& limits)
{
    limits.minWidth = MIN_WINDOW_WIDTH;
    limits.minHeight = MIN_WINDOW_HEIGHT;
    limits.limitMaximum = editor.source.kind != SourceKind::None;
    if (!limits.limitMaximum) return;
    limits.maxWidth = view.contentWidth + FRAME_EXTRA_WIDTH;
    limits.maxHeight = view.contentHeight + FRAME_EXTRA_HEIGHT;
}

void scrollToY(int32_t position)
{
    scrollTo(SCROLL_BAR_VERT, position, view.contentHeight, view.clientHeight, view.scrollY);
}

void scrollToX(int32_t position)
{
    scrollTo(SCROLL_BAR_HORZ, position, view.contentWidth, view.clientWidth, view.scrollX);
}

void onScrollRequest(int bar, int code, int32_t thumb)
{
    bool vertical = bar == SCROLL_BAR_VERT;
    int32_t offset = vertical ? view.scrollY : view.scrollX;
    int32_t line = vertical ? view.lineHeight : view.clientWidth / 8;
    int32_t page = vertical ? view.clientHeight : view.clientWidth;
    int32_t target;
    switch (code) {
    case SCROLL_LINE_UP: target = offset - line; break;
    case SCROLL_LINE_DOWN: target = offset + line; break;
    case SCROLL_PAGE_UP: target = offset - page; break;
    case SCROLL_PAGE_DOWN: target = offset + page; break;
    case SCROLL_THUMB_POSITION:
    case SCROLL_THUMB_TRACK: target = thumb; break;
    default: return;
    }
    if (vertical)
        scrollToY(target);
    else
        scrollToX(target);
}
