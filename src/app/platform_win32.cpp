#include <windows.h>
#include <commdlg.h>
#include <winioctl.h>

#include <climits>
#include <cstddef>
#include <cstdio>
#include <cstring>

#include "app/crypto_digest_win32.h"
#include "app/inspector_view_win32.h"
#include "app/platform_win32.h"
#include "app/status_bar_win32.h"
#include "app/structure_view_win32.h"

#include "disk/access_method.h"
#include "editor/cursor.h"
#include "editor/view_scroll.h"
#include "platform/run_window_win32.h"
#include "platform/files.h"
#include "platform/messages.h"
#include "platform/platform.h"
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
static_assert(KEY_BACK == VK_BACK && KEY_TAB == VK_TAB && KEY_PRIOR == VK_PRIOR &&
                  KEY_NEXT == VK_NEXT && KEY_END == VK_END && KEY_HOME == VK_HOME &&
                  KEY_LEFT == VK_LEFT && KEY_UP == VK_UP && KEY_RIGHT == VK_RIGHT &&
                  KEY_DOWN == VK_DOWN,
              "keys");
static_assert(SCROLL_BAR_HORZ == SB_HORZ && SCROLL_BAR_VERT == SB_VERT, "scroll bars");
static_assert(SCROLL_LINE_UP == SB_LINEUP && SCROLL_LINE_DOWN == SB_LINEDOWN &&
                  SCROLL_PAGE_UP == SB_PAGEUP && SCROLL_PAGE_DOWN == SB_PAGEDOWN &&
                  SCROLL_THUMB_POSITION == SB_THUMBPOSITION && SCROLL_THUMB_TRACK == SB_THUMBTRACK,
              "scroll requests");
static_assert(ANSWER_OK == IDOK && ANSWER_CANCEL == IDCANCEL && ANSWER_YES == IDYES &&
                  ANSWER_NO == IDNO,
              "answers");

namespace {

using GetDiskFreeSpaceExAFn = BOOL(WINAPI*)(LPCSTR, PULARGE_INTEGER, PULARGE_INTEGER,
                                            PULARGE_INTEGER);
using MonitorFromRectFn = HMONITOR(WINAPI*)(LPCRECT, DWORD);
using FileDialogFn = BOOL(WINAPI*)(LPOPENFILENAMEA);

int messageBox(const char* text, const char* caption, unsigned style)
{
    return MessageBoxA(nullptr, text, caption, style);
}

// DWORD and uint32_t are distinct types to the compiler; a failed call must
// leave the caller's values as they were, so the temporaries start from them.
bool getVolumeInformation(const char* root, char* volumeName, uint32_t volumeNameSize,
                          uint32_t* serialNumber, uint32_t* maxComponentLength,
                          uint32_t* fileSystemFlags, char* fileSystemName,
                          uint32_t fileSystemNameSize)
{
    DWORD serial = *serialNumber, maxLength = *maxComponentLength, flags = *fileSystemFlags;
    BOOL read = GetVolumeInformationA(root, volumeName, volumeNameSize, &serial, &maxLength,
                                      &flags, fileSystemName, fileSystemNameSize);
    *serialNumber = serial;
    *maxComponentLength = maxLength;
    *fileSystemFlags = flags;
    return read != FALSE;
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

// Only Windows 2000 and later say which disks a volume spans; before them
// no answer is taken for one that lies elsewhere.
bool isDriveOnDisk(int drive, int disk)
{
    char path[8];
    std::snprintf(path, sizeof path, "\\\\.\\%c:", 'A' + drive);
    HANDLE volume = CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    if (volume == INVALID_HANDLE_VALUE) return true;
    union {
        VOLUME_DISK_EXTENTS extents;
        uint8_t room[sizeof(VOLUME_DISK_EXTENTS) + 31 * sizeof(DISK_EXTENT)];
    } answer = {};
    DWORD returned = 0;
    BOOL answered = DeviceIoControl(volume, IOCTL_VOLUME_GET_VOLUME_DISK_EXTENTS, nullptr, 0,
                                    &answer, sizeof answer, &returned, nullptr);
    CloseHandle(volume);
    if (!answered || returned < sizeof(DWORD) * 2) return true;
    DWORD count = answer.extents.NumberOfDiskExtents;
    if (count > 32 || returned < offsetof(VOLUME_DISK_EXTENTS, Extents) + count * sizeof(DISK_EXTENT))
        return true;
    for (DWORD k = 0; k < count; k++)
        if (answer.extents.Extents[k].DiskNumber == DWORD(disk)) return true;
    return false;
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

RECT workArea()
{
    RECT area = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    return area;
}

// A minimized window lies at -32000 and a maximized one covers the screen;
// the placement keeps the rectangle to reopen, in work-area coordinates.
void getMainWindowRect(int32_t* left, int32_t* top, int32_t* right, int32_t* bottom)
{
    RECT rect = {0, 0, 0, 0};
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;
    if ((IsIconic(mainWindow) || IsZoomed(mainWindow)) &&
        GetWindowPlacement(mainWindow, &placement)) {
        RECT area = workArea();
        rect = placement.rcNormalPosition;
        OffsetRect(&rect, area.left, area.top);
    } else {
        GetWindowRect(mainWindow, &rect);
    }
    *left = rect.left;
    *top = rect.top;
    *right = rect.right;
    *bottom = rect.bottom;
}

// Looked up at run time: Windows 95 and NT 4 know one screen only.
bool isOnScreen(int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    RECT rect = {left, top, right, bottom};
    auto monitorFromRect = reinterpret_cast<MonitorFromRectFn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("USER32.DLL"), "MonitorFromRect")));
    if (monitorFromRect != nullptr) return monitorFromRect(&rect, MONITOR_DEFAULTTONULL) != nullptr;
    RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}, overlap;
    return IntersectRect(&overlap, &rect, &screen) != FALSE;
}

void getWorkArea(int32_t* left, int32_t* top, int32_t* right, int32_t* bottom)
{
    RECT area = workArea();
    *left = area.left;
    *top = area.top;
    *right = area.right;
    *bottom = area.bottom;
}

void setWindowTitle(const char* title)
{
    SetWindowTextA(mainWindow, title);
}

void invalidate(const PixelRect* area)
{
    if (area == nullptr) {
        InvalidateRect(mainWindow, nullptr, TRUE);
        return;
    }
    RECT rect = {area->left, area->top, area->left + area->width, area->top + area->height};
    InvalidateRect(mainWindow, &rect, TRUE);
}

void getClientSize(int32_t* width, int32_t* height)
{
    RECT rect = {0, 0, 0, 0};
    GetClientRect(mainWindow, &rect);
    *width = rect.right;
    *height = rect.bottom - statusBarHeight();
    if (*height < 0) *height = 0;
}

void menuItemChanged(int id, bool enabled, bool checked)
{
    HMENU menu = GetMenu(mainWindow);
    EnableMenuItem(menu, id, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
    CheckMenuItem(menu, id, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

bool isControlDown()
{
    return GetKeyState(VK_CONTROL) < 0;
}

bool isShiftDown()
{
    return GetKeyState(VK_SHIFT) < 0;
}

void destroyCaret()
{
    DestroyCaret();
}

void createCaret(int32_t width, int32_t height)
{
    CreateCaret(mainWindow, nullptr, width, height);
}

void showCaret()
{
    ShowCaret(mainWindow);
}

void setCaretPos(int32_t x, int32_t y)
{
    SetCaretPos(x, y);
}

void showScrollBar(int bar, bool show)
{
    ShowScrollBar(mainWindow, bar, show);
    if (show) EnableScrollBar(mainWindow, bar, ESB_ENABLE_BOTH);
}

void setScrollRange(int bar, int32_t maximum, bool redraw)
{
    SetScrollRange(mainWindow, bar, 0, maximum, redraw);
}

void setScrollPos(int bar, int32_t position)
{
    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SIF_POS;
    info.nPos = position;
    SetScrollInfo(mainWindow, bar, &info, TRUE);
}

void showStatus(const char* const* parts, int count)
{
    setStatusParts(parts, count);
}

constexpr UINT SHIFT_JIS = 932;

// Without the flag a character Shift-JIS lacks may come out as a look-alike
// (é as e) and count as converted; Windows before 2000 refuses the flag, and
// there the plain call is all there is.
int toShiftJis(const uint16_t* units, int count, char* text, int size, BOOL* usedDefault)
{
    LPCWSTR wide = reinterpret_cast<LPCWSTR>(units);
    int length = WideCharToMultiByte(SHIFT_JIS, WC_NO_BEST_FIT_CHARS, wide, count, text, size,
                                     "?", usedDefault);
    if (length > 0 || GetLastError() != ERROR_INVALID_FLAGS) return length;
    return WideCharToMultiByte(SHIFT_JIS, 0, wide, count, text, size, "?", usedDefault);
}

// A text that does not fit is no text: cut, it could end in half a character.
bool utf16ToShiftJis(const uint16_t* units, uint32_t count, char* text, uint32_t size)
{
    if (size == 0) return false;
    text[0] = '\0';
    if (count == 0) return true;
    // No room at all would ask only for the length.
    if (size == 1 || count > uint32_t(INT_MAX) || size > uint32_t(INT_MAX)) return false;
    BOOL usedDefault = FALSE;
    int length = toShiftJis(units, int(count), text, int(size - 1), &usedDefault);
    if (length <= 0) {
        text[0] = '\0';
        return false;
    }
    text[length] = '\0';
    return !usedDefault;
}

// The flag makes bytes the code page has no character for a failure, not a
// default character; a text that does not fit fails as well.
bool shiftJisToUtf16(const char* text, uint16_t* units, uint32_t size, uint32_t* count)
{
    *count = 0;
    size_t bytes = std::strlen(text);
    if (bytes == 0) return true;
    if (size == 0 || bytes > size_t(INT_MAX) || size > uint32_t(INT_MAX)) return false;
    int length = MultiByteToWideChar(SHIFT_JIS, MB_ERR_INVALID_CHARS, text, int(bytes),
                                     reinterpret_cast<LPWSTR>(units), int(size));
    if (length <= 0) return false;
    *count = uint32_t(length);
    return true;
}

void* handleOrNull(HANDLE file)
{
    return file == INVALID_HANDLE_VALUE ? nullptr : file;
}

void* createFile(const char* path)
{
    return handleOrNull(CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
}

// Only an existing file: one that vanished after it was chosen is an error,
// not a new empty file. Others may read it meanwhile (a restore reads its
// image a second time for the check), none may change it.
void* openFile(const char* path)
{
    return handleOrNull(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
}

void* updateFile(const char* path)
{
    return handleOrNull(CreateFileA(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
}

// SetFilePointer with its high word, as getFileSize: SetFilePointerEx is
// newer than Windows 95 and NT 4.
bool seekFile(void* file, uint64_t offset)
{
    LONG high = LONG(offset >> 32);
    SetLastError(NO_ERROR);
    DWORD low = SetFilePointer(file, LONG(offset & 0xFFFFFFFFu), &high, FILE_BEGIN);
    return low != INVALID_SET_FILE_POINTER || GetLastError() == NO_ERROR;
}

bool fileExists(const char* path)
{
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

// GetFileSize with its high word: every supported Windows has it, while
// GetFileSizeEx would keep the exe from starting on Windows 95 and NT 4.
bool getFileSize(void* file, uint64_t* size)
{
    DWORD high = 0;
    SetLastError(NO_ERROR);
    DWORD low = GetFileSize(file, &high);
    if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) return false;
    *size = uint64_t(high) << 32 | low;
    return true;
}

bool writeFile(void* file, const void* data, uint32_t size)
{
    DWORD written = 0;
    return WriteFile(file, data, size, &written, nullptr) && written == size;
}

bool readFile(void* file, void* data, uint32_t size)
{
    DWORD read = 0;
    return ReadFile(file, data, size, &read, nullptr) && read == size;
}

void closeFile(void* file)
{
    CloseHandle(file);
}

void deleteFile(const char* path)
{
    DeleteFileA(path);
}

bool getFullPath(const char* path, char* full, uint32_t size)
{
    DWORD length = GetFullPathNameA(path, size, full, nullptr);
    return length != 0 && length < size;
}

// Japanese, so that the Shift-JIS text converts right where another code
// page is the system's.
constexpr LCID CLIPBOARD_LOCALE = 0x0411;
constexpr int CLIPBOARD_ATTEMPTS = 10;
constexpr DWORD CLIPBOARD_WAIT_MS = 50;

// A movable block of `room` zeroed bytes that starts with `size` bytes of data.
HGLOBAL globalCopy(const void* data, SIZE_T size, SIZE_T room)
{
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, room);
    void* locked = block == nullptr ? nullptr : GlobalLock(block);
    if (locked == nullptr) {
        if (block != nullptr) GlobalFree(block);
        return nullptr;
    }
    std::memcpy(locked, data, size);
    GlobalUnlock(block);
    return block;
}

// Another program may hold the clipboard a moment: about half a second.
bool openClipboard()
{
    for (int attempt = 0; attempt < CLIPBOARD_ATTEMPTS; attempt++) {
        if (OpenClipboard(mainWindow)) return true;
        Sleep(CLIPBOARD_WAIT_MS);
    }
    return false;
}

void setClipboardLocale()
{
    HGLOBAL locale = globalCopy(&CLIPBOARD_LOCALE, sizeof CLIPBOARD_LOCALE, sizeof CLIPBOARD_LOCALE);
    if (locale != nullptr && SetClipboardData(CF_LOCALE, locale) == nullptr) GlobalFree(locale);
}

// A block the clipboard did not take is freed here; one it took is its own.
ClipboardResult setClipboardText(const char* text, uint32_t size)
{
    HGLOBAL block = globalCopy(text, size, SIZE_T(size) + 1);  // and a terminating zero
    if (block == nullptr) return ClipboardResult::NoMemory;
    if (!openClipboard()) {
        GlobalFree(block);
        return ClipboardResult::Busy;
    }
    EmptyClipboard();
    bool taken = SetClipboardData(CF_TEXT, block) != nullptr;
    if (taken)
        setClipboardLocale();
    else
        GlobalFree(block);
    CloseClipboard();
    return taken ? ClipboardResult::Done : ClipboardResult::Busy;
}

// The block stays the clipboard's: its text is copied out before the
// clipboard closes. A block need not end in a zero, so no more is read than
// it holds.
ClipboardResult getClipboardText(char* text, uint32_t size)
{
    text[0] = '\0';
    if (!openClipboard()) return ClipboardResult::Busy;
    HANDLE data = GetClipboardData(CF_TEXT);
    const char* locked = data == nullptr ? nullptr : static_cast<const char*>(GlobalLock(data));
    if (locked != nullptr) {
        SIZE_T held = GlobalSize(data), length = 0;
        while (length < held && length + 1 < size && locked[length] != '\0') length++;
        std::memcpy(text, locked, length);
        text[length] = '\0';
        GlobalUnlock(data);
    }
    CloseClipboard();
    return ClipboardResult::Done;
}

// COMDLG32 comes in at the first file dialog, not with the program: under
// Wine it brings the print spooler, whose start loads the CUPS library (and
// a score of others with it) and looks for a print server, all before the
// first window shows. It stays loaded for the dialogs after.
bool runFileDialog(FileDialog kind, OPENFILENAMEA* request)
{
    HMODULE dialogs = LoadLibraryA("COMDLG32.DLL");
    if (dialogs == nullptr) return false;
    auto dialog = reinterpret_cast<FileDialogFn>(reinterpret_cast<void*>(GetProcAddress(
        dialogs, kind == FileDialog::Save ? "GetSaveFileNameA" : "GetOpenFileNameA")));
    return dialog != nullptr && dialog(request) != FALSE;
}

bool chooseFile(const FileChoice& choice)
{
    OPENFILENAMEA request = {};
    request.lStructSize = OPENFILENAME_SIZE_VERSION_400A;  // what Windows 95 and NT 4 know
    request.hwndOwner = mainWindow;
    request.lpstrFilter = choice.filter;
    request.lpstrFile = lastFilePath;
    request.nMaxFile = FILE_PATH_SIZE;
    request.lpstrDefExt = choice.defaultExtension;
    request.Flags = OFN_HIDEREADONLY;
    switch (choice.kind) {
    case FileDialog::OpenExisting: request.Flags |= OFN_FILEMUSTEXIST; break;
    case FileDialog::Open: request.Flags |= OFN_PATHMUSTEXIST; break;
    case FileDialog::Save: request.Flags |= OFN_PATHMUSTEXIST | OFN_OVERWRITEPROMPT; break;
    }
    return runFileDialog(choice.kind, &request);
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
    platform.isDriveOnDisk = isDriveOnDisk;
    platform.getModuleFileName = getModuleFileName;
    platform.getProfileInt = getProfileInt;
    platform.writeProfileString = writeProfileString;
    platform.getMainWindowRect = getMainWindowRect;
    platform.isOnScreen = isOnScreen;
    platform.getWorkArea = getWorkArea;
    platform.setWindowTitle = setWindowTitle;
    platform.invalidate = invalidate;
    platform.getClientSize = getClientSize;
    platform.menuItemChanged = menuItemChanged;
    platform.isControlDown = isControlDown;
    platform.isShiftDown = isShiftDown;
    platform.destroyCaret = destroyCaret;
    platform.createCaret = createCaret;
    platform.showCaret = showCaret;
    platform.setCaretPos = setCaretPos;
    platform.showScrollBar = showScrollBar;
    platform.setScrollRange = setScrollRange;
    platform.setScrollPos = setScrollPos;
    platform.showStatus = showStatus;
    platform.showStructure = showStructureView;
    platform.showInspector = showInspectorView;
    platform.utf16ToShiftJis = utf16ToShiftJis;
    platform.shiftJisToUtf16 = shiftJisToUtf16;
    platform.createFile = createFile;
    platform.updateFile = updateFile;
    platform.seekFile = seekFile;
    platform.openFile = openFile;
    platform.fileExists = fileExists;
    platform.getFileSize = getFileSize;
    platform.writeFile = writeFile;
    platform.readFile = readFile;
    platform.closeFile = closeFile;
    platform.deleteFile = deleteFile;
    platform.getFullPath = getFullPath;
    platform.chooseFile = chooseFile;
    platform.setClipboardText = setClipboardText;
    platform.getClipboardText = getClipboardText;
    platform.showProgress = showRunWindowProgress;
    platform.continueRun = continueRunWindow;
    platform.beginDigest = beginCryptoDigest;
    platform.addToDigest = addToCryptoDigest;
    platform.endDigest = endCryptoDigest;
}
