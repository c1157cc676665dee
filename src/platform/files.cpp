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

int driveOfFile(const char* path)
{
    char full[FILE_PATH_SIZE];
    if (!platform.getFullPath(path, full, FILE_PATH_SIZE) || full[1] != ':') return -1;
    char letter = full[0] & ~0x20;  // upper case
    return letter >= 'A' && letter <= 'Z' ? letter - 'A' : -1;
}
