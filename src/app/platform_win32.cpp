#include <windows.h>

#include "app/platform_win32.h"

#include "app/messages.h"
#include "app/platform.h"
#include "disk/access_method.h"
#include "volume/drive_types.h"

static_assert(BOX_OKCANCEL == MB_OKCANCEL && BOX_YESNO == MB_YESNO, "button styles");
static_assert(BOX_ICONERROR == MB_ICONERROR && BOX_ICONWARNING == MB_ICONWARNING &&
                  BOX_ICONINFORMATION == MB_ICONINFORMATION,
              "icon styles");
static_assert(BOX_DEFBUTTON2 == MB_DEFBUTTON2 && BOX_TASKMODAL == MB_TASKMODAL, "box styles");
static_assert(DRIVE_TYPE_REMOVABLE == DRIVE_REMOVABLE && DRIVE_TYPE_FIXED == DRIVE_FIXED &&
                  DRIVE_TYPE_REMOTE == DRIVE_REMOTE && DRIVE_TYPE_CDROM == DRIVE_CDROM &&
                  DRIVE_TYPE_RAMDISK == DRIVE_RAMDISK && DRIVE_TYPE_NO_ROOT_DIR == DRIVE_NO_ROOT_DIR,
              "drive types");
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

unsigned getDriveType(const char* root)
{
    return GetDriveTypeA(root);
}

void getModuleFileName(char* path, uint32_t size)
{
    DWORD length = GetModuleFileNameA(nullptr, path, size);
    path[length < size ? length : size - 1] = '\0';  // older systems leave a full buffer open
}

int32_t getProfileInt(const char* section, const char* key, int32_t defaultValue,
                      const char* path)
{
    return static_cast<int32_t>(GetPrivateProfileIntA(section, key, defaultValue, path));
}

void writeProfileString(const char* section, const char* key, const char* value,
                        const char* path)
{
    WritePrivateProfileStringA(section, key, value, path);
}

void getMainWindowRect(int32_t* left, int32_t* top, int32_t* right, int32_t* bottom)
{
    RECT rect = {0, 0, 0, 0};
    GetWindowRect(mainWindow, &rect);
    *left = rect.left;
    *top = rect.top;
    *right = rect.right;
    *bottom = rect.bottom;
}

}  // namespace

HWND mainWindow;

void installWin32Platform()
{
    platform.messageBox = messageBox;
    platform.isInBuiltinGroup = isInBuiltinGroup;
    platform.getVolumeInformation = getVolumeInformation;
    platform.getDiskFreeSpace = getDiskFreeSpace;
    platform.getDiskFreeSpaceEx = getDiskFreeSpaceEx;
    platform.getDriveType = getDriveType;
    platform.getModuleFileName = getModuleFileName;
    platform.getProfileInt = getProfileInt;
    platform.writeProfileString = writeProfileString;
    platform.getMainWindowRect = getMainWindowRect;
}
