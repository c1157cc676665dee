#include "editor/value_edit.h"

#include "editor/cursor.h"
#include "editor/dump_view.h"
#include "editor/editor_state.h"
#include "platform/platform.h"

namespace {

uint8_t* cursorBytes()
{
    return editor.workBuffer + DUMP_BYTES_PER_LINE * editor.cursorLine + editor.cursorColumn;
}

}  // namespace

void beginValueEdit()
{
    const uint8_t* bytes = cursorBytes();
    uint32_t value = 0;
    for (int k = valueEdit.width - 1; k >= 0; k--) value = value << 8 | bytes[k];
    setEditedValue(valueEdit.width, value);
}

void storeEditedValue(const char* decimalBoxText)
{
    uint32_t value = decimalTextValue(decimalBoxText);
    uint8_t* bytes = cursorBytes();
    beginEdit();
    for (int k = 0; k < valueEdit.width; k++) bytes[k] = uint8_t(value >> 8 * k);
    endEdit();
}

void closeValueEdit()
{
    syncBuffers(SyncMode::Compare);
    platform.invalidate(nullptr);
    recreateCaret();
}
