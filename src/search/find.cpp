#include "search/find.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "editor/cursor.h"
#include "editor/dump_view.h"
#include "editor/editor_state.h"
#include "editor/navigation.h"
#include "platform/files.h"
#include "platform/messages.h"
#include "platform/platform.h"
#include "search/drive_search.h"

FindRequest findRequest;

namespace {

bool parseHexPattern(const char* text, SearchPattern& pattern)
{
    pattern.length = 0;
    for (const char* c = text; *c != '\0'; c++) {
        if (*c == ' ') continue;
        if (!isHexDigit(c[0]) || !isHexDigit(c[1]) || pattern.length == SEARCH_PATTERN_MAX)
            return false;
        pattern.bytes[pattern.length++] = uint8_t(16 * hexDigitValue(c[0]) + hexDigitValue(c[1]));
        c++;
    }
    return pattern.length > 0;
}

bool parseTextPattern(const char* text, SearchPattern& pattern)
{
    size_t length = std::strlen(text);
    if (length == 0 || length > SEARCH_PATTERN_MAX) return false;
    std::memcpy(pattern.bytes, text, length);
    pattern.length = uint32_t(length);
    return true;
}

bool parseUtf16Pattern(const char* text, SearchPattern& pattern)
{
    uint16_t units[SEARCH_PATTERN_MAX / 2];
    uint32_t count = 0;
    if (!platform.shiftJisToUtf16(text, units, SEARCH_PATTERN_MAX / 2, &count) || count == 0)
        return false;
    for (uint32_t k = 0; k < count; k++) {
        pattern.bytes[2 * k] = uint8_t(units[k] & 0xFF);
        pattern.bytes[2 * k + 1] = uint8_t(units[k] >> 8);
    }
    pattern.length = 2 * count;
    return true;
}

// The other case of a letter among the 26 upper case ones from `upper` on
// and the 26 lower case ones from `lower` on; anything else is its own.
uint8_t otherCaseOf(uint8_t byte, uint8_t upper, uint8_t lower)
{
    if (byte >= upper && byte < upper + 26) return uint8_t(byte - upper + lower);
    if (byte >= lower && byte < lower + 26) return uint8_t(byte - lower + upper);
    return byte;
}

// Walked a character at a time: ASCII letters, and the full-width ones of
// 82 60-82 79 and 82 81-82 9A. The second byte of any other double-byte
// character keeps its one value, though it may be a letter's (83 41 is ア).
void foldShiftJis(SearchPattern& pattern)
{
    for (uint32_t k = 0; k < pattern.length; k++) {
        uint8_t byte = pattern.bytes[k];
        if (isShiftJisLead(byte) && k + 1 < pattern.length) {
            k++;
            if (byte == 0x82) pattern.otherCase[k] = otherCaseOf(pattern.bytes[k], 0x60, 0x81);
        } else {
            pattern.otherCase[k] = otherCaseOf(byte, 'A', 'a');
        }
    }
}

// U+0041-005A and U+0061-007A, U+FF21-FF3A and U+FF41-FF5A: the low byte
// of each unit is folded, the high one tells which letters it is among.
void foldUtf16(SearchPattern& pattern)
{
    for (uint32_t k = 0; k + 1 < pattern.length; k += 2) {
        uint8_t low = pattern.bytes[k], high = pattern.bytes[k + 1];
        if (high == 0x00) pattern.otherCase[k] = otherCaseOf(low, 'A', 'a');
        if (high == 0xFF) pattern.otherCase[k] = otherCaseOf(low, 0x21, 0x41);
    }
}

void foldCase(FindKind kind, SearchPattern& pattern)
{
    std::memcpy(pattern.otherCase, pattern.bytes, pattern.length);
    if (kind == FindKind::Text) foldShiftJis(pattern);
    if (kind == FindKind::Utf16) foldUtf16(pattern);
    pattern.folded = std::memcmp(pattern.otherCase, pattern.bytes, pattern.length) != 0;
}

uint64_t cursorByte()
{
    uint32_t offset = uint32_t(editor.cursorLine * DUMP_BYTES_PER_LINE + editor.cursorColumn);
    return editor.currentSector * editor.sectorSize + offset;
}

// The match's sector is loaded as a move is (戻る returns), the caret put on
// its first byte and its bytes in this sector marked.
void showMatch(uint64_t at, int32_t length)
{
    // The user agreed to let the edits go before the search ran.
    syncBuffers(SyncMode::Revert);
    if (!loadSector(editor.source, at / editor.sectorSize)) return;
    int32_t offset = int32_t(at % editor.sectorSize);
    editor.cursorLine = offset / DUMP_BYTES_PER_LINE;
    editor.cursorColumn = offset % DUMP_BYTES_PER_LINE;
    editor.cursorNibble = 0;
    editor.cursorInText = findRequest.kind != FindKind::Hex;
    editor.markStart = offset;
    editor.markLength = std::min<int32_t>(length, int32_t(editor.sectorSize) - offset);
    placeCaret(true);
    platform.invalidate(nullptr);
}

void reportUnreadable(SectorNumber sector)
{
    char text[128];
    std::snprintf(text, sizeof text, messageText(MSG_SEARCH_UNREADABLE),
                  (unsigned long long)sector);
    showTextWithDetail(text, MessageKind::Error, nullptr);
}

}  // namespace

bool parseFindPattern(const char* text, FindKind kind, bool ignoreCase, SearchPattern& pattern)
{
    pattern.folded = false;
    switch (kind) {
    case FindKind::Hex: return parseHexPattern(text, pattern);
    case FindKind::Text:
        if (!parseTextPattern(text, pattern)) return false;
        break;
    case FindKind::Utf16:
        if (!parseUtf16Pattern(text, pattern)) return false;
        break;
    }
    if (ignoreCase) foldCase(kind, pattern);
    return true;
}

void runFind()
{
    SearchPattern pattern;
    if (editor.source.kind == SourceKind::None ||
        !parseFindPattern(findRequest.text, findRequest.kind, findRequest.ignoreCase, pattern))
        return;
    // The search reads the disk, not the edited bytes.
    if (!askDiscardEdits()) return;
    uint64_t cursor = cursorByte();
    Source source = editor.source;
    char imagePath[FILE_PATH_SIZE];
    std::memcpy(imagePath, editor.imagePath, FILE_PATH_SIZE);
    SearchResult result =
        searchDrive(source, editor.sectorSize, editorLayout.totalSectors, pattern,
                    findRequest.backward, findRequest.backward ? cursor : cursor + 1);
    // A place found is a place of the drive or file searched, and of no other
    // shown since.
    if (editor.source != source ||
        std::memcmp(editor.imagePath, imagePath, FILE_PATH_SIZE) != 0)
        return;
    switch (result.end) {
    case SearchEnd::Found: showMatch(result.at, int32_t(pattern.length)); break;
    case SearchEnd::NotFound: showMessage(MSG_NOT_FOUND, MessageKind::Info); break;
    case SearchEnd::Stopped: break;
    case SearchEnd::Unreadable: reportUnreadable(result.sector); break;
    case SearchEnd::NoRun: showMessage(MSG_SECTOR_READ_ERROR, MessageKind::Error); break;
    case SearchEnd::NoMemory: showMessage(MSG_OUT_OF_MEMORY, MessageKind::Error); break;
    }
}
