#include "editor/display_mode.h"

#include "editor/cursor.h"
#include "editor/dump_view.h"
#include "editor/editor_state.h"
#include "editor/view_scroll.h"
#include "platform/commands.h"
#include "platform/platform.h"
#include "platform/settings.h"

namespace {

// Font size commands by index, smallest first.
constexpr int FONT_COMMANDS[FONT_SIZE_COUNT] = {
    CMD_FONT_SMALLEST, CMD_FONT_SMALL, CMD_FONT_MEDIUM, CMD_FONT_LARGE, CMD_FONT_LARGEST,
};

}  // namespace

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

