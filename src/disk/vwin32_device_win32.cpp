#include <windows.h>

#include "disk/sector_routes_win32.h"

namespace {

uint32_t request(uint32_t controlCode, DiocRegisters* registers)
{
    HANDLE device = CreateFileA("\\\\.\\vwin32", 0, 0, nullptr, 0, FILE_FLAG_DELETE_ON_CLOSE,
                                nullptr);
    if (device == INVALID_HANDLE_VALUE) return GetLastError();
    DWORD returned = 0;
    BOOL done = DeviceIoControl(device, controlCode, registers, sizeof *registers, registers,
                                sizeof *registers, &returned, nullptr);
    uint32_t error = done ? 0 : GetLastError();
    CloseHandle(device);
    return error;
}

}  // namespace

void installVwin32Device()
{
    vwin32Device.request = request;
}
