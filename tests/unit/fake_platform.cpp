#include "fake_platform.h"

#include <iconv.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "disk/sector_io.h"
#include "editor/dump_view.h"
#include "editor/editor_state.h"
#include "editor/view_scroll.h"
#include "image/checksum.h"
#include "image/image_restore.h"
#include "image/image_save.h"
#include "image_route.h"
#include "platform/files.h"
#include "platform/commands.h"
#include "platform/platform.h"
#include "platform/settings.h"
#include "search/find.h"
#include "volume/volume_info.h"

FakePlatform fake;

namespace {

int fakeMessageBox(const char* text, const char* caption, unsigned style)
{
    fake.boxes.push_back({text, caption, style});
    if (fake.answers.empty()) return 0;
    int answer = fake.answers.front();
    fake.answers.pop_front();
    return answer;
}

int fakeIsInBuiltinGroup(uint32_t rid)
{
    fake.adminChecks.push_back(rid);
    return fake.adminCheck;
}

const FakeVolume& volumeFor(const char* root)
{
    auto found = fake.volumesByDrive.find(root[0]);
    return found == fake.volumesByDrive.end() ? fake.volume : found->second;
}

void copyText(char* to, uint32_t size, const std::string& from)
{
    std::strncpy(to, from.c_str(), size - 1);
    to[size - 1] = '\0';
}

bool fakeGetVolumeInformation(const char* root, char* volumeName, uint32_t volumeNameSize,
                          uint32_t* serialNumber, uint32_t* maxComponentLength,
                          uint32_t* fileSystemFlags, char* fileSystemName,
                          uint32_t fileSystemNameSize)
{
    fake.queriedRoots.push_back(root);
    const FakeVolume& volume = volumeFor(root);
    if (!volume.present) return false;
    copyText(volumeName, volumeNameSize, volume.label);
    copyText(fileSystemName, fileSystemNameSize, volume.fileSystem);
    *serialNumber = volume.serialNumber;
    *maxComponentLength = volume.maxComponentLength;
    *fileSystemFlags = volume.fileSystemFlags;
    return true;
}

bool fakeGetDiskFreeSpace(const char* root, uint32_t* sectorsPerCluster,
                          uint32_t* bytesPerSector, uint32_t* freeClusters,
                          uint32_t* totalClusters)
{
    const FakeVolume& volume = volumeFor(root);
    if (!volume.freeSpaceOk) return false;
    *sectorsPerCluster = volume.sectorsPerCluster;
    *bytesPerSector = volume.bytesPerSector;
    *freeClusters = volume.freeClusters;
    *totalClusters = volume.totalClusters;
    return true;
}

void fakeGetDiskFreeSpaceEx(const char* root, uint64_t* freeBytesAvailable,
                            uint64_t* totalBytes, uint64_t* totalFreeBytes)
{
    const FakeVolume& volume = volumeFor(root);
    if (!volume.hasExtendedQuery) return;
    *freeBytesAvailable = volume.freeBytesAvailable;
    *totalBytes = volume.totalBytes;
    *totalFreeBytes = volume.totalFreeBytes;
}

unsigned fakeGetDriveType(const char* root)
{
    return fake.driveTypes[root[0] - 'A'];
}

bool fakeIsDriveOnDisk(int drive, int disk)
{
    return fake.diskOfDrive[drive] == disk;
}

void fakeGetModuleFileName(char* path, uint32_t size)
{
    copyText(path, size, fake.modulePath);
}

// As the Win32 reader: the leading digits count, anything else reads 0.
int32_t fakeGetProfileInt(const char* section, const char* key, int32_t defaultValue,
                          const char*)
{
    fake.profileReads.push_back(key);
    auto value = fake.profile.find(std::string(section) + "/" + key);
    if (value == fake.profile.end()) return defaultValue;
    return int32_t(std::strtol(value->second.c_str(), nullptr, 10));
}

void fakeWriteProfileString(const char* section, const char* key, const char* value,
                            const char* path)
{
    fake.profileWrites.push_back({section, key, value, path});
    fake.profile[std::string(section) + "/" + key] = value;
}

void copyRect(const int32_t rect[4], int32_t* left, int32_t* top, int32_t* right, int32_t* bottom)
{
    *left = rect[0];
    *top = rect[1];
    *right = rect[2];
    *bottom = rect[3];
}

void fakeGetMainWindowRect(int32_t* left, int32_t* top, int32_t* right, int32_t* bottom)
{
    copyRect(fake.window, left, top, right, bottom);
}

bool fakeIsOnScreen(int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    return left < fake.screen[2] && right > fake.screen[0] && top < fake.screen[3] &&
           bottom > fake.screen[1];
}

void fakeGetWorkArea(int32_t* left, int32_t* top, int32_t* right, int32_t* bottom)
{
    copyRect(fake.workArea, left, top, right, bottom);
}

void fakeSetWindowTitle(const char* title)
{
    fake.title = title;
}

void fakeInvalidate(const PixelRect* rect)
{
    if (rect)
        fake.repaintedRects.push_back(*rect);
    else
        fake.wholeRepaints++;
}

void fakeGetClientSize(int32_t* width, int32_t* height)
{
    *width = fake.clientWidth;
    *height = fake.clientHeight;
}

void fakeMenuItemChanged(int, bool, bool) {}

bool fakeIsControlDown()
{
    return fake.controlDown;
}

bool fakeIsShiftDown()
{
    return fake.shiftDown;
}

void fakeDestroyCaret()
{
    fake.caretShown = false;
}

void fakeCreateCaret(int32_t width, int32_t height)
{
    fake.caretsCreated++;
    fake.caretWidth = width;
    fake.caretHeight = height;
}

void fakeShowCaret()
{
    fake.caretShown = true;
}

void fakeSetCaretPos(int32_t x, int32_t y)
{
    fake.caretX = x;
    fake.caretY = y;
}

void fitClientToBars()
{
    int32_t vertical = fake.bars[SCROLL_BAR_VERT].visible ? fake.barThickness : 0;
    int32_t horizontal = fake.bars[SCROLL_BAR_HORZ].visible ? fake.barThickness : 0;
    fake.clientWidth = std::max(0, fake.insideWidth - vertical);
    fake.clientHeight = std::max(0, fake.insideHeight - horizontal);
}

void fakeShowScrollBar(int bar, bool show)
{
    if (fake.bars[bar].visible == show) return;
    fake.bars[bar].visible = show;
    if (fake.barThickness == 0) return;
    fitClientToBars();
    updateScrollBars();  // WM_SIZE arrives before ShowScrollBar returns
}

void fakeSetScrollRange(int bar, int32_t maximum, bool)
{
    fake.bars[bar].maximum = maximum;
}

void fakeShowStatus(const char* const* parts, int count)
{
    fake.status.assign(parts, parts + count);
}

void fakeShowStructure(bool shown)
{
    if (shown) fake.structureShows++;
    fake.structureShown = shown;
}

void fakeShowInspector(bool shown)
{
    if (shown) fake.inspectorShows++;
    fake.inspectorShown = shown;
}

// One code unit, or two for a pair of surrogates.
size_t utf16CharacterBytes(const char* at, size_t left)
{
    uint16_t unit = uint16_t(uint8_t(at[0]) | uint8_t(at[1]) << 8);
    return unit >= 0xD800 && unit < 0xDC00 && left >= 4 ? 4 : 2;
}

// As WideCharToMultiByte with a default character: '?' for each character
// Shift-JIS lacks, and no text at all where it does not fit.
bool fakeUtf16ToShiftJis(const uint16_t* units, uint32_t count, char* text, uint32_t size)
{
    if (size == 0) return false;
    text[0] = '\0';
    iconv_t converter = iconv_open("CP932", "UTF-16LE");
    if (converter == iconv_t(-1)) return false;
    std::vector<char> input(size_t(count) * 2);
    for (uint32_t k = 0; k < count; k++) {
        input[2 * k] = char(units[k] & 0xFF);
        input[2 * k + 1] = char(units[k] >> 8);
    }
    char* in = input.data();
    size_t inLeft = input.size();
    char* out = text;
    size_t outLeft = size - 1;
    bool exact = true, fits = true;
    while (inLeft > 0 && fits) {
        if (iconv(converter, &in, &inLeft, &out, &outLeft) != size_t(-1)) break;
        if (errno == E2BIG || outLeft == 0) {
            fits = false;
        } else {
            exact = false;
            size_t skipped = inLeft >= 2 ? utf16CharacterBytes(in, inLeft) : inLeft;
            in += skipped;
            inLeft -= skipped;
            *out++ = '?';
            outLeft--;
        }
    }
    iconv_close(converter);
    *(fits ? out : text) = '\0';
    return fits && exact;
}

// As MultiByteToWideChar refusing invalid characters: iconv stops at bytes
// code page 932 has no character for, or a lead byte at the text's end.
bool fakeShiftJisToUtf16(const char* text, uint16_t* units, uint32_t size, uint32_t* count)
{
    *count = 0;
    iconv_t converter = iconv_open("UTF-16LE", "CP932");
    if (converter == iconv_t(-1)) return false;
    std::vector<char> output(size_t(size) * 2);
    char* in = const_cast<char*>(text);
    size_t inLeft = std::strlen(text);
    char* out = output.data();
    size_t outLeft = output.size();
    bool whole = iconv(converter, &in, &inLeft, &out, &outLeft) != size_t(-1) && inLeft == 0;
    iconv_close(converter);
    if (!whole) return false;
    *count = uint32_t((output.size() - outLeft) / 2);
    for (uint32_t k = 0; k < *count; k++)
        units[k] = uint16_t(uint8_t(output[2 * k]) | uint8_t(output[2 * k + 1]) << 8);
    return true;
}

void fakeSetScrollPos(int bar, int32_t position)
{
    fake.bars[bar].position = position;
}

void* fakeCreateFile(const char* path)
{
    // A Windows path (the default module path's folder) is no folder here:
    // nothing lands in the tests' working folder.
    if (fake.createFails || path[0] == '\0' || path[1] == ':') return nullptr;
    std::FILE* file = std::fopen(path, "wb");
    if (file == nullptr) return nullptr;
    fake.createdFiles.push_back(path);
    fake.openFiles++;
    return file;
}

void* fakeOpenFile(const char* path)
{
    std::FILE* file = fake.openFails ? nullptr : std::fopen(path, "rb");
    if (file != nullptr) fake.openFiles++;
    return file;
}

void* fakeUpdateFile(const char* path)
{
    std::FILE* file = fake.openFails ? nullptr : std::fopen(path, "r+b");
    if (file != nullptr) fake.openFiles++;
    return file;
}

bool fakeSeekFile(void* file, uint64_t offset)
{
    return !fake.seekFails && fseeko(static_cast<std::FILE*>(file), off_t(offset), SEEK_SET) == 0;
}

bool fakeFileExists(const char* path)
{
    struct stat status;
    return stat(path, &status) == 0;
}

bool fakeGetFileSize(void* file, uint64_t* size)
{
    if (fake.sizeFails) return false;
    struct stat status;
    if (fstat(fileno(static_cast<std::FILE*>(file)), &status) != 0) return false;
    *size = fake.reportedSize != 0 ? fake.reportedSize : uint64_t(status.st_size);
    return true;
}

bool fakeWriteFile(void* file, const void* data, uint32_t size)
{
    std::FILE* stream = static_cast<std::FILE*>(file);
    if (uint64_t(std::ftell(stream)) + size > fake.writeFailsPast) return false;
    return std::fwrite(data, 1, size, stream) == size;
}

bool fakeReadFile(void* file, void* data, uint32_t size)
{
    return std::fread(data, 1, size, static_cast<std::FILE*>(file)) == size;
}

void fakeCloseFile(void* file)
{
    std::fclose(static_cast<std::FILE*>(file));
    fake.openFiles--;
}

void fakeDeleteFile(const char* path)
{
    std::remove(path);
}

// Paths as the test names them: a test's own "X:\\..." names a drive.
bool fakeGetFullPath(const char* path, char* full, uint32_t size)
{
    return std::snprintf(full, size, "%s", path) < int(size);
}

bool fakeChooseFile(const FileChoice& choice)
{
    fake.fileDialogs.push_back(choice);
    fake.proposedPaths.push_back(lastFilePath);
    if (fake.chosenFiles.empty()) return false;
    copyText(lastFilePath, FILE_PATH_SIZE, fake.chosenFiles.front());
    fake.chosenFiles.pop_front();
    return true;
}

ClipboardResult fakeSetClipboardText(const char* text, uint32_t size)
{
    if (fake.clipboardAnswer == ClipboardResult::Done) fake.clipboard.assign(text, size);
    return fake.clipboardAnswer;
}

ClipboardResult fakeGetClipboardText(char* text, uint32_t size)
{
    text[0] = '\0';
    if (fake.clipboardAnswer == ClipboardResult::Done)
        copyText(text, size, fake.clipboard);
    return fake.clipboardAnswer;
}

void fakeShowProgress(int percent)
{
    fake.progress.push_back(percent);
}

bool fakeContinueRun()
{
    if (fake.runContinues < 0) return true;
    return fake.runContinues-- > 0;
}

struct FakeDigest {
    DigestKind kind;
    uint64_t bytes;
};

void* fakeBeginDigest(DigestKind kind)
{
    if (fake.digestsOffered.count(kind) == 0) return nullptr;
    fake.openDigests++;
    return new FakeDigest{kind, 0};
}

bool fakeAddToDigest(void* digest, const void*, uint32_t size)
{
    if (fake.digestAddsLeft == 0) return false;
    if (fake.digestAddsLeft > 0) fake.digestAddsLeft--;
    static_cast<FakeDigest*>(digest)->bytes += size;
    return true;
}

bool fakeEndDigest(void* digest, uint8_t* out, uint32_t size)
{
    auto* own = static_cast<FakeDigest*>(digest);
    bool done = out != nullptr && !fake.digestEndFails;
    if (done) {
        std::memset(out, 0, size);
        for (int i = 0; i < 8; i++) out[i] = uint8_t(own->bytes >> 8 * i);
        out[size - 1] = uint8_t(int(own->kind) + 1);
    }
    delete own;
    fake.openDigests--;
    return done;
}

}  // namespace

void installFakePlatform()
{
    fake = FakePlatform{};
    platform.messageBox = fakeMessageBox;
    platform.isInBuiltinGroup = fakeIsInBuiltinGroup;
    platform.getVolumeInformation = fakeGetVolumeInformation;
    platform.getDiskFreeSpace = fakeGetDiskFreeSpace;
    platform.getDiskFreeSpaceEx = fakeGetDiskFreeSpaceEx;
    platform.getDriveType = fakeGetDriveType;
    platform.isDriveOnDisk = fakeIsDriveOnDisk;
    platform.getModuleFileName = fakeGetModuleFileName;
    platform.getProfileInt = fakeGetProfileInt;
    platform.writeProfileString = fakeWriteProfileString;
    platform.getMainWindowRect = fakeGetMainWindowRect;
    platform.isOnScreen = fakeIsOnScreen;
    platform.getWorkArea = fakeGetWorkArea;
    platform.setWindowTitle = fakeSetWindowTitle;
    platform.invalidate = fakeInvalidate;
    platform.getClientSize = fakeGetClientSize;
    platform.menuItemChanged = fakeMenuItemChanged;
    platform.isControlDown = fakeIsControlDown;
    platform.isShiftDown = fakeIsShiftDown;
    platform.destroyCaret = fakeDestroyCaret;
    platform.createCaret = fakeCreateCaret;
    platform.showCaret = fakeShowCaret;
    platform.setCaretPos = fakeSetCaretPos;
    platform.showScrollBar = fakeShowScrollBar;
    platform.setScrollRange = fakeSetScrollRange;
    platform.setScrollPos = fakeSetScrollPos;
    platform.showStatus = fakeShowStatus;
    platform.showStructure = fakeShowStructure;
    platform.showInspector = fakeShowInspector;
    platform.utf16ToShiftJis = fakeUtf16ToShiftJis;
    platform.shiftJisToUtf16 = fakeShiftJisToUtf16;
    platform.createFile = fakeCreateFile;
    platform.openFile = fakeOpenFile;
    platform.updateFile = fakeUpdateFile;
    platform.seekFile = fakeSeekFile;
    platform.fileExists = fakeFileExists;
    platform.getFileSize = fakeGetFileSize;
    platform.writeFile = fakeWriteFile;
    platform.readFile = fakeReadFile;
    platform.closeFile = fakeCloseFile;
    platform.deleteFile = fakeDeleteFile;
    platform.getFullPath = fakeGetFullPath;
    platform.chooseFile = fakeChooseFile;
    platform.setClipboardText = fakeSetClipboardText;
    platform.getClipboardText = fakeGetClipboardText;
    platform.showProgress = fakeShowProgress;
    platform.continueRun = fakeContinueRun;
    platform.beginDigest = fakeBeginDigest;
    platform.addToDigest = fakeAddToDigest;
    platform.endDigest = fakeEndDigest;

    settings = Settings{};
    volumeInfo = VolumeInfo{};
    view = ViewState{};
    resetEditor();
    lastFilePath[0] = '\0';
    imageSaveStart = 0;
    imageSaveCount = 1;
    imageRestoreStart = 0;
    checksumStart = 0;
    checksumCount = 1;
    checksumText[0] = '\0';
    findRequest = FindRequest{};
    resetCommandStates();
    ImageRoute::reset();
    SectorIo::setRoutes(ImageRoute::routes());
    SectorIo::setMethod(AccessMethod::WinNt5);
}

void resizeWindow(int32_t width, int32_t height)
{
    fake.insideWidth = width;
    fake.insideHeight = height;
    fitClientToBars();
    updateScrollBars();
}
