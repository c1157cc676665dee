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

// Where the path's file name starts, its last dot after that (0 for none)
// and its end. The path is walked a character at a time: the second byte of
// a Shift-JIS character may be a backslash (表 is 95 5C) without ending a
// folder's name.
struct PathName {
    size_t start, dot, end;
};

PathName pathName(const char* path)
{
    PathName name = {0, 0, 0};
    for (size_t& at = name.end; path[at] != '\0'; at++) {
        uint8_t byte = uint8_t(path[at]);
        if (isShiftJisLead(byte) && path[at + 1] != '\0') {
            at++;
        } else if (byte == '\\' || byte == '/' || byte == ':') {
            name.start = at + 1;
            name.dot = 0;
        } else if (byte == '.') {
            name.dot = at;
        }
    }
    return name;
}

// The extension of the path's file name becomes `extension`.
void replaceExtension(char* path, const char* extension)
{
    PathName name = pathName(path);
    if (name.end == name.start) return;  // no name to propose
    size_t end = name.dot > name.start ? name.dot : name.end;
    if (end + 1 + std::strlen(extension) >= FILE_PATH_SIZE) return;
    std::snprintf(path + end, FILE_PATH_SIZE - end, ".%s", extension);
}

}  // namespace

const char* fileNameOf(const char* path)
{
    return path + pathName(path).start;
}

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
