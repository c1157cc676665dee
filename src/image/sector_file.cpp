#include "image/sector_file.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "editor/editor_state.h"
#include "platform/files.h"
#include "platform/messages.h"
#include "platform/platform.h"

namespace {

const char SECTOR_FILE_FILTER[] = "Sector files {*.sct}\0*.sct\0All files {*.*}\0*.*\0";

// The file read aside: nothing in the editor changes unless all went well,
// so a file that fails never passes for an edit that Ctrl+W would write.
bool readSectorFile(uint8_t* bytes, uint64_t& size)
{
    void* file = platform.openFile(lastFilePath);
    if (file == nullptr) {
        showMessage(MSG_FILE_OPEN_ERROR, MessageKind::Error);
        return false;
    }
    bool read = platform.getFileSize(file, &size) &&
                platform.readFile(file, bytes, uint32_t(std::min<uint64_t>(size, editor.sectorSize)));
    platform.closeFile(file);
    if (!read) showMessage(MSG_FILE_READ_ERROR, MessageKind::Error);
    return read;
}

// A file of another size (a text dump, something else altogether) would be
// cut or padded with zeros: only as the user agrees.
bool mayTakeFileOfSize(uint64_t size)
{
    if (size == editor.sectorSize) return true;
    char question[256];
    std::snprintf(question, sizeof question, messageText(MSG_SECTOR_FILE_SIZE),
                  (unsigned long long)size, (unsigned long)editor.sectorSize);
    return askToProceedWith(MSG_SECTOR_FILE_SIZE, question);
}

}  // namespace

void loadSectorFile()
{
    if (!chooseFileOfKind({FileDialog::OpenExisting, SECTOR_FILE_FILTER, "sct"})) return;
    uint8_t bytes[IMAGE_BUFFER_SIZE] = {};
    uint64_t size = 0;
    if (!readSectorFile(bytes, size) || !mayTakeFileOfSize(size)) return;
    beginEdit();
    std::memcpy(editor.workBuffer, bytes, editor.sectorSize);
    endEdit();
    platform.invalidate(nullptr);
}

void saveSectorFile()
{
    if (!chooseFileOfKind({FileDialog::Save, SECTOR_FILE_FILTER, "sct"})) return;
    writeWholeFile(lastFilePath, editor.workBuffer, editor.sectorSize);
}
