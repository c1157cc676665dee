#include "editor/byte_clipboard.h"

#include <cstdio>
#include <cstring>

#include "editor/cursor.h"
#include "editor/dump_view.h"
#include "editor/editor_state.h"
#include "editor/hex_bytes.h"
#include "editor/selection.h"
#include "platform/messages.h"
#include "platform/platform.h"
#include "platform/settings.h"

namespace {

// Room for the longest copy, a whole sector of the largest size as a C
// array: six characters a byte, six more a line of 16, and the first line.
constexpr uint32_t COPY_TEXT_SIZE = 7 * IMAGE_BUFFER_SIZE;
// Longer than any hex text a sector's bytes need, spaced as they may be: a
// longer one is refused rather than pasted in part.
constexpr uint32_t PASTE_TEXT_MAX = 8 * IMAGE_BUFFER_SIZE;

const char HEX_DIGITS[] = "0123456789ABCDEF";

char copyText[COPY_TEXT_SIZE];
char pasteText[PASTE_TEXT_MAX + 2];  // a character more than may be, to tell a longer text
uint8_t pasteBytes[IMAGE_BUFFER_SIZE];

char* append(char* at, const char* text)
{
    size_t length = std::strlen(text);
    std::memcpy(at, text, length);
    return at + length;
}

// Every byte as two digits after `prefix`, with `apart` between two bytes of
// a line and `lineEnd` between lines of 16.
char* appendHexLines(char* at, ByteSpan span, const char* prefix, const char* apart,
                     const char* lineEnd)
{
    const uint8_t* bytes = editor.workBuffer + span.first;
    for (uint32_t k = 0; k < span.length; k++) {
        if (k > 0) at = append(at, k % DUMP_BYTES_PER_LINE == 0 ? lineEnd : apart);
        at = append(at, prefix);
        *at++ = HEX_DIGITS[bytes[k] >> 4];
        *at++ = HEX_DIGITS[bytes[k] & 0xF];
    }
    return at;
}

uint32_t formatSelection(CopyForm form, ByteSpan span)
{
    char* at = copyText;
    switch (form) {
    case CopyForm::Hex: at = appendHexLines(at, span, "", " ", "\r\n"); break;
    case CopyForm::Text:
        mapSpanCharacters(editor.workBuffer, editor.sectorSize, span.first, span.length,
                          settings.kanji != 0, at);
        at += span.length;
        break;
    case CopyForm::CArray:
        at += std::snprintf(at, COPY_TEXT_SIZE, "unsigned char data[%lu] = {\r\n    ",
                            (unsigned long)span.length);
        at = appendHexLines(at, span, "0x", ", ", ",\r\n    ");
        at = append(at, "\r\n};");
        break;
    }
    *at = '\0';
    return uint32_t(at - copyText);
}

void tellPastePastEnd(uint32_t pasted, uint32_t room)
{
    char text[256];
    std::snprintf(text, sizeof text, messageText(MSG_PASTE_PAST_END), (unsigned long)pasted,
                  (unsigned long)room);
    showTextWithDetail(text, messageKind(MSG_PASTE_PAST_END), nullptr);
}

}  // namespace

void copySelection(CopyForm form)
{
    ByteSpan span = selectedBytes();
    if (span.length == 0) return;
    uint32_t length = formatSelection(form, span);
    // Another program holding the clipboard all the while leaves it as it
    // was, as the dump's copy does.
    if (platform.setClipboardText(copyText, length) == ClipboardResult::NoMemory)
        showMessage(MSG_OUT_OF_MEMORY, MessageKind::Error);
}

void pasteHex()
{
    if (editor.source.kind == SourceKind::None) return;
    switch (platform.getClipboardText(pasteText, sizeof pasteText)) {
    case ClipboardResult::Done: break;
    case ClipboardResult::NoMemory: showMessage(MSG_OUT_OF_MEMORY, MessageKind::Error); return;
    case ClipboardResult::Busy: return;
    }
    ByteSpan selected = selectedBytes();
    uint32_t start = selected.length > 0 ? selected.first : caretByte();
    uint32_t room = editor.sectorSize - start, count = 0;
    if (std::strlen(pasteText) > PASTE_TEXT_MAX ||
        !parseHexBytes(pasteText, pasteBytes, room, count)) {
        showMessage(MSG_PASTE_NOT_HEX, messageKind(MSG_PASTE_NOT_HEX));
        return;
    }
    if (count > room) {
        tellPastePastEnd(count, room);
        return;
    }
    beginEdit();
    std::memcpy(editor.workBuffer + start, pasteBytes, count);
    selectBytes(start, start + count - 1);
    endEdit();
    repaintChangedBytes(start, start + count - 1);
    placeCaret(true);
}
