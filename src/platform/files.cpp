#include "platform/files.h"

#include <cstdio>
#include <cstring>

#include "platform/messages.h"
#include "platform/platform.h"

char lastFilePath[FILE_PATH_SIZE];

bool isShiftJisLead(uint8_t byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// A double-byte character's second byte may be 5Ch or 7Ch and is skipped.
bool isPlainFileName(const char* name)
{
    for (const char* c = name; *c != '\0'; c++) {
        uint8_t byte = uint8_t(*c);
        if (isShiftJisLead(byte)) {
            if (*++c == '\0') return false;
        } else if (byte < 0x20 || std::strchr("\\/:*?\"<>|", byte) != nullptr) {
            return false;
        }
    }
    return true;
}

namespace {

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

// Windows takes paths without case, and a slash for a backslash.
char folded(char c)
{
    if (c >= 'a' && c <= 'z') return char(c - 'a' + 'A');
    return c == '/' ? '\\' : c;
}

bool startsWithFolded(const char* text, const char* prefix)
{
    for (; *prefix != '\0'; text++, prefix++)
        if (folded(*text) != folded(*prefix)) return false;
    return true;
}

// The Win32 file namespace (\\?\C:\…, \\?\UNC\…) reaches files; every other
// prefix of \\?\, and \\.\ and \??\, reaches devices.
bool isDeviceNamespace(const char* path)
{
    if (startsWithFolded(path, "\\\\.\\") || startsWithFolded(path, "\\??\\")) return true;
    if (!startsWithFolded(path, "\\\\?\\")) return false;
    const char* rest = path + 4;
    bool driveLetter = folded(*rest) >= 'A' && folded(*rest) <= 'Z' && rest[1] == ':';
    return !driveLetter && !startsWithFolded(rest, "UNC\\");
}

// CON, PRN, AUX, NUL, COM1 to COM9 and LPT1 to LPT9 name devices in every
// folder and whatever follows their first dot.
bool isDosDeviceName(const char* name)
{
    static const char* const NAMES[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    size_t length = 0;
    while (name[length] != '\0' && name[length] != '.' && name[length] != ':') length++;
    while (length > 0 && name[length - 1] == ' ') length--;
    for (const char* device : NAMES)
        if (length == std::strlen(device) && startsWithFolded(name, device)) return true;
    bool numbered = length == 4 && (startsWithFolded(name, "COM") || startsWithFolded(name, "LPT"));
    return numbered && name[3] >= '1' && name[3] <= '9';
}

}  // namespace

bool isDevicePath(const char* path)
{
    return isDeviceNamespace(path) || isDosDeviceName(fileNameOf(path));
}

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
