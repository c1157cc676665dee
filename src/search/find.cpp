#include "search/find.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "editor/cursor.h"
#include "editor/dump_view.h"
#include "editor/editor_state.h"
#include "editor/navigation.h"
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
    editor.cursorInText = findRequest.isText;
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

bool parseFindPattern(const char* text, bool isText, SearchPattern& pattern)
{
    if (!isText) return parseHexPattern(text, pattern);
    size_t length = std::strlen(text);
    if (length == 0 || length > SEARCH_PATTERN_MAX) return false;
    std::memcpy(pattern.bytes, text, length);
    pattern.length = uint32_t(length);
    return true;
}

void runFind()
{
    SearchPattern pattern;
    if (editor.source.kind == SourceKind::None ||
        !parseFindPattern(findRequest.text, findRequest.isText, pattern))
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
