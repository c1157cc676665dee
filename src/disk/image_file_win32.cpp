#include <windows.h>

#include "disk/sector_routes_win32.h"

namespace {

// Written only by this program while it is open; read-only when its
// attribute says so (an administrator, or Wine's root, could write it all
// the same), or when another program holds it without letting others write.
HANDLE openForWriting(const char* path, DWORD attributes, bool* readOnly)
{
    HANDLE file = INVALID_HANDLE_VALUE;
    if ((attributes & FILE_ATTRIBUTE_READONLY) == 0)
        file = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    *readOnly = file == INVALID_HANDLE_VALUE;
    if (!*readOnly) return file;
    return CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

// Only a file: a folder, or a device that a path reaches, is no image.
void* openImageFile(const char* path, uint64_t* length, bool* readOnly)
{
    DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return nullptr;
    HANDLE file = openForWriting(path, attributes, readOnly);
    if (file == INVALID_HANDLE_VALUE) return nullptr;
    DWORD high = 0;
    SetLastError(NO_ERROR);
    DWORD low = GetFileSize(file, &high);
    if ((low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) ||
        GetFileType(file) != FILE_TYPE_DISK) {
        CloseHandle(file);
        return nullptr;
    }
    *length = uint64_t(high) << 32 | low;
    return file;
}

void closeImageFile(void* file)
{
    CloseHandle(file);
}

// SetFilePointer with its high word: Windows 95 and NT 4 have no Ex.
int transferImageFile(void* file, SectorOp op, uint64_t offset, uint32_t bytes, void* buffer)
{
    LONG high = LONG(offset >> 32);
    SetLastError(NO_ERROR);
    if (SetFilePointer(file, LONG(offset & 0xFFFFFFFF), &high, FILE_BEGIN) ==
            INVALID_SET_FILE_POINTER &&
        GetLastError() != NO_ERROR)
        return SECTOR_STATUS_FAILED;
    DWORD moved = 0;
    BOOL done = op == SectorOp::Read ? ReadFile(file, buffer, bytes, &moved, nullptr)
                                     : WriteFile(file, buffer, bytes, &moved, nullptr);
    return done && moved == bytes ? SECTOR_STATUS_OK : SECTOR_STATUS_FAILED;
}
