#include "disk/device_io_win32.h"

// SetFilePointer with its high word, as Windows 95 and NT 4 have no Ex. The
// high word goes in as a signed LONG: an offset past 2^63 bytes is none.
bool seekDevice(HANDLE device, uint64_t offset)
{
    if (offset > uint64_t(INT64_MAX)) return false;
    LONG high = LONG(offset >> 32);
    SetLastError(NO_ERROR);
    DWORD low = SetFilePointer(device, LONG(offset & 0xFFFFFFFFu), &high, FILE_BEGIN);
    if (low == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR) return false;
    return (uint64_t(DWORD(high)) << 32 | low) == offset;
}

bool moveDeviceBytes(HANDLE device, SectorOp op, uint32_t bytes, void* buffer)
{
    DWORD done = 0;
    BOOL moved = op == SectorOp::Read ? ReadFile(device, buffer, bytes, &done, nullptr)
                                      : WriteFile(device, buffer, bytes, &done, nullptr);
    return moved && done == bytes;
}
