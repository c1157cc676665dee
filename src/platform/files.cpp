#include "platform/files.h"

#include "platform/messages.h"
#include "platform/platform.h"

char lastFilePath[FILE_PATH_SIZE];

bool writeWholeFile(const char* path, const void* data, uint32_t size)
{
    void* file = platform.createFile(path);
    if (file == nullptr) {
        showMessage(MSG_FILE_OPEN_ERROR, MessageKind::Error);
        return false;
    }
    bool written = platform.writeFile(file, data, size);
    platform.closeFile(file);
    if (written) return true;
    platform.deleteFile(path);
    showMessage(MSG_FILE_WRITE_ERROR, MessageKind::Error);
    return false;
}
