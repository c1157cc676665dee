#include "editor/dump_export.h"

#include "editor/dump_view.h"
#include "editor/editor_state.h"
#include "platform/files.h"
#include "platform/messages.h"
#include "platform/platform.h"
#include "platform/settings.h"

namespace {

const char TEXT_FILE_FILTER[] = "Text files {*.txt}\0*.txt\0All files {*.*}\0*.*\0";

char dumpText[DUMP_TEXT_SIZE];

}  // namespace

uint32_t buildDumpText(char out[DUMP_TEXT_SIZE])
{
    return formatDumpText(editor.workBuffer, editor.sectorSize, settings.kanji != 0, out);
}

void exportDump(bool toClipboard)
{
    uint32_t length = buildDumpText(dumpText);
    if (toClipboard) {
        if (platform.setClipboardText(dumpText, length) == ClipboardResult::NoMemory)
            showMessage(MSG_OUT_OF_MEMORY, MessageKind::Error);
        return;
    }
    if (!chooseFileOfKind({FileDialog::Save, TEXT_FILE_FILTER, "txt"})) return;
    writeWholeFile(lastFilePath, dumpText, length);
}
