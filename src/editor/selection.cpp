#include "editor/selection.h"

#include <algorithm>

#include "editor/dump_text.h"
#include "editor/editor_state.h"

ByteSpan selectedBytes()
{
    if (editor.selecting == 0 || editor.source.kind == SourceKind::None) return {0, 0};
    uint32_t anchor = uint32_t(editor.selectionAnchor), caret = caretByte();
    uint32_t first = std::min(anchor, caret);
    return {first, std::max(anchor, caret) - first + 1};
}

uint32_t caretByte()
{
    return uint32_t(DUMP_BYTES_PER_LINE * editor.cursorLine + editor.cursorColumn);
}
