#include "editor/view_scroll.h"

#include "app/commands.h"
#include "app/platform.h"
#include "app/settings.h"
#include "editor/cursor.h"
#include "editor/dump_view.h"
#include "editor/editor_state.h"

namespace {

constexpr int32_t MIN_WINDOW_WIDTH = 240;
constexpr int32_t MIN_WINDOW_HEIGHT = 80;
// Room for the frame, caption, menu and scroll bars around the dump.
constexpr int32_t FRAME_EXTRA_WIDTH = 32;
constexpr int32_t FRAME_EXTRA_HEIGHT = 64;

// Font size commands by index, smallest first.
constexpr int FONT_COMMANDS[FONT_SIZE_COUNT] = {
    CMD_FONT_SMALLEST, CMD_FONT_SMALL, CMD_FONT_MEDIUM, CMD_FONT_LARGE, CMD_FONT_LARGEST,
};

// One bar: shown with the scrollable part as its range while the content
// is larger than the client extent, else hidden at offset 0.
void fitScrollBar(int bar, int32_t content, int32_t client, int32_t& offset)
{
    if (client < content) {
        platform.showScrollBar(bar, true);
        platform.setScrollRange(bar, content - client, true);
        if (offset > content - client) offset = content - client;
    } else {
        platform.showScrollBar(bar, false);
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

void updateScrollBars()
{
    platform.getClientSize(&view.clientWidth, &view.clientHeight);
    if (editor.currentDrive == -1) return;
    fitScrollBar(SCROLL_BAR_VERT, view.contentHeight, view.clientHeight, view.scrollY);
    fitScrollBar(SCROLL_BAR_HORZ, view.contentWidth, view.clientWidth, view.scrollX);
}

void trackSizeLimits(SizeLimits& limits)
{
    limits.minWidth = MIN_WINDOW_WIDTH;
    limits.minHeight = MIN_WINDOW_HEIGHT;
    limits.limitMaximum = editor.currentDrive != -1;
    if (!limits.limitMaximum) return;
    limits.maxWidth = view.contentWidth + FRAME_EXTRA_WIDTH;
    limits.maxHeight = view.contentHeight + FRAME_EXTRA_HEIGHT;
}

void applyFontSize(int index)
{
    settings.fontSize = index;
    for (int i = 0; i < FONT_SIZE_COUNT; i++) setCommandChecked(FONT_COMMANDS[i], i == index);
    const FontMetrics& metrics = FONT_METRICS[index];
    view.lineHeight = metrics.lineHeight;
    view.charWidth = metrics.charWidth;
    view.fontHeight = metrics.fontHeight;
    view.scrollX = 0;
    view.scrollY = 0;
    view.contentHeight = editor.lineCount * view.lineHeight;
    platform.setScrollRange(SCROLL_BAR_VERT, view.contentHeight, false);
    platform.setScrollPos(SCROLL_BAR_VERT, 0);
    view.contentWidth = DUMP_LINE_CELLS * view.charWidth;
    platform.setScrollRange(SCROLL_BAR_HORZ, view.contentWidth, false);
    platform.setScrollPos(SCROLL_BAR_HORZ, 0);
    updateScrollBars();
    recreateCaret();
    platform.invalidate(nullptr);
}

int fontSizeOfCommand(int id)
{
    for (int index = 0; index < FONT_SIZE_COUNT; index++)
        if (FONT_COMMANDS[index] == id) return index;
    return -1;
}

void setKanjiMode(int on)
{
    setCommandChecked(CMD_TOGGLE_KANJI, on != 0);
    settings.kanji = on;
    platform.invalidate(nullptr);
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
