#include "platform/files.h"

#include <cstdio>
#include <cstring>

#include "platform/messages.h"
#include "platform/platform.h"

char lastFilePath[FILE_PATH_SIZE];

namespace {

bool isShiftJisLead(uint8_t byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// The extension of the path's file name becomes `extension`. The path is
// walked a character at a time: the second byte of a Shift-JIS character
// may be a backslash (表 is 95 5C) without ending a folder's name.
void replaceExtension(char* path, const char* extension)
{
    size_t nameStart = 0, dot = 0, at = 0;
    for (; path[at] != '\0'; at++) {
        uint8_t byte = uint8_t(path[at]);
        if (isShiftJisLead(byte) && path[at + 1] != '\0') {
            at++;
        } else if (byte == '\\' || byte == '/' || byte == ':') {
            nameStart = at + 1;
            dot = 0;
        } else if (byte == '.') {
            dot = at;
        }
    }
    if (at == nameStart) return;  // no name to propose
    size_t end = dot > nameStart ? dot : at;
    if (end + 1 + std::strlen(extension) >= FILE_PATH_SIZE) return;
    std::snprintf(path + end, FILE_PATH_SIZE - end, ".%s", extension);
}

}  // namespace

bool chooseFileOfKind(const FileChoice& choice)
{
    replaceExtension(lastFilePath, choice.defaultExtension);
    return platform.chooseFile(choice);
}

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
