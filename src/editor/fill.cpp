#include "editor/fill.h"

#include <cstdio>
#include <cstring>

#include "editor/dump_view.h"
#include "editor/editor_state.h"
#include "editor/hex_bytes.h"
#include "editor/selection.h"
#include "platform/messages.h"

char fillText[FILL_TEXT_SIZE] = "00";

bool acceptFillText(const char* text)
{
    // Half as many bytes as characters at most: the pattern always fits.
    uint8_t pattern[FILL_TEXT_SIZE];
    uint32_t count = 0;
    if (std::strlen(text) >= FILL_TEXT_SIZE ||
        !parseHexBytes(text, pattern, sizeof pattern, count)) {
        showMessage(MSG_FILL_NOT_HEX, messageKind(MSG_FILL_NOT_HEX));
        return false;
    }
    std::snprintf(fillText, sizeof fillText, "%s", text);
    ByteSpan span = selectedBytes();
    if (span.length == 0) return true;
    beginEdit();
    for (uint32_t k = 0; k < span.length; k++)
        editor.workBuffer[span.first + k] = pattern[k % count];
    endEdit();
    repaintChangedBytes(span.first, span.first + span.length - 1);
    return true;
}
