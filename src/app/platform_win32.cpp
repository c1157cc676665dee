#include <windows.h>

#include "app/platform_win32.h"

#include "app/messages.h"
#include "app/platform.h"
#include "disk/access_method.h"

static_assert(BOX_OKCANCEL == MB_OKCANCEL && BOX_YESNO == MB_YESNO, "button styles");
static_assert(BOX_ICONERROR == MB_ICONERROR && BOX_ICONWARNING == MB_ICONWARNING &&
                  BOX_ICONINFORMATION == MB_ICONINFORMATION,
              "icon styles");
static_assert(BOX_DEFBUTTON2 == MB_DEFBUTTON2 && BOX_TASKMODAL == MB_TASKMODAL, "box styles");
static_assert(ANSWER_OK == IDOK && ANSWER_CANCEL == IDCANCEL && ANSWER_YES == IDYES &&
                  ANSWER_NO == IDNO,
              "answers");

namespace {

using GetDiskFreeSpaceExAFn = BOOL(WINAPI*)(LPCSTR, PULARGE_INTEGER, PULARGE_INTEGER,
                                            PULARGE_INTEGER);

int messageBox(const char* text, const char* caption, unsigned style)
{
    return MessageBoxA(nullptr, text, caption, style);
}

// DWORD and uint32_t are distinct types to the compiler; a failed call must
// leave the caller's values as they were, so the temporaries start from them.
void getVolumeInformation(const char* root, char* volumeName, uint32_t volumeNameSize,
                          uint32_t* serialNumber, uint32_t* maxComponentLength,
                          uint32_t* fileSystemFlags, char* fileSystemName,
                          uint32_t fileSystemNameSize)
{
    DWORD serial = *serialNumber, maxLength = *maxComponentLength, flags = *fileSystemFlags;
    GetVolumeInformationA(root, volumeName, volumeNameSize, &serial, &maxLength, &flags,
                          fileSystemName, fileSystemNameSize);
    *serialNumber = serial;
    *maxComponentLength = maxLength;
    *fileSystemFlags = flags;
}

bool getDiskFreeSpace(const char* root, uint32_t* sectorsPerCluster, uint32_t* bytesPerSector,
                      uint32_t* freeClusters, uint32_t* totalClusters)
{
    DWORD perCluster = *sectorsPerCluster, perSector = *bytesPerSector;
    DWORD free = *freeClusters, total = *totalClusters;
    BOOL ok = GetDiskFreeSpaceA(root, &perCluster, &perSector, &free, &total);
    *sectorsPerCluster = perCluster;
    *bytesPerSector = perSector;
    *freeClusters = free;
    *totalClusters = total;
    return ok == TRUE;
}

// Looked up at run time: Windows 95 before OSR2 has no extended query.
void getDiskFreeSpaceEx(const char* root, uint64_t* freeBytesAvailable, uint64_t* totalBytes,
                        uint64_t* totalFreeBytes)
{
    HMODULE kernel = LoadLibraryA("KERNEL32.DLL");
    if (kernel == nullptr) return;
    auto query = reinterpret_cast<GetDiskFreeSpaceExAFn>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "GetDiskFreeSpaceExA")));
    if (query == nullptr) return;
    ULARGE_INTEGER available, total, totalFree;
    available.QuadPart = *freeBytesAvailable;
    total.QuadPart = *totalBytes;
    totalFree.QuadPart = *totalFreeBytes;
    query(root, &available, &total, &totalFree);
    *freeBytesAvailable = available.QuadPart;
    *totalBytes = total.QuadPart;
    *totalFreeBytes = totalFree.QuadPart;
}

}  // namespace

void installWin32Platform()
{
    platform.messageBox = messageBox;
    platform.isInBuiltinGroup = isInBuiltinGroup;
    platform.getVolumeInformation = getVolumeInformation;
    platform.getDiskFreeSpace = getDiskFreeSpace;
    platform.getDiskFreeSpaceEx = getDiskFreeSpaceEx;
}
