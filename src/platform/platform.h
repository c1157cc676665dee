#pragma once
#include <cstdint>

// A rectangle of the client area, in pixels.
struct PixelRect {
    int32_t left, top, width, height;
};

constexpr int SCROLL_BAR_HORZ = 0;
constexpr int SCROLL_BAR_VERT = 1;

// The kinds of file dialog: an existing file to read, any name in an existing
// folder to read or write (the dialog only names it), or a file to write
// (asking before it replaces one).
enum class FileDialog {
    OpenExisting,
    Open,
    Save,
};

enum class ClipboardResult {
    Done,
    NoMemory,
    Busy,  // another program held the clipboard all the while
};

// The digests the system's cryptography may offer.
enum class DigestKind {
    Md5,
    Sha1,
    Sha256,
};

struct FileChoice {
    FileDialog kind;
    const char* filter;  // name and pattern pairs, each NUL-terminated, then an empty text
    const char* defaultExtension;
};

// The shell of the program: every call the core makes into the window system
// and the volume queries. The Win32 build fills it with real calls; native
// tests with a recording fake.
struct Platform {
    int (*messageBox)(const char* text, const char* caption, unsigned style);
    int (*isInBuiltinGroup)(uint32_t rid);
    // False when the system cannot read the volume (no medium, unknown file system).
    bool (*getVolumeInformation)(const char* root, char* volumeName, uint32_t volumeNameSize,
                                 uint32_t* serialNumber, uint32_t* maxComponentLength,
                                 uint32_t* fileSystemFlags, char* fileSystemName,
                                 uint32_t fileSystemNameSize);
    bool (*getDiskFreeSpace)(const char* root, uint32_t* sectorsPerCluster,
                             uint32_t* bytesPerSector, uint32_t* freeClusters,
                             uint32_t* totalClusters);
    // Leaves the three values untouched where the system has no extended query.
    void (*getDiskFreeSpaceEx)(const char* root, uint64_t* freeBytesAvailable,
                               uint64_t* totalBytes, uint64_t* totalFreeBytes);
    unsigned (*getDriveType)(const char* root);
    // Whether the volume of `drive` (0 = A) lies on physical disk `disk`, in
    // part or whole; true also where the system cannot tell.
    bool (*isDriveOnDisk)(int drive, int disk);
    void (*getModuleFileName)(char* path, uint32_t size);
    int32_t (*getProfileInt)(const char* section, const char* key, int32_t defaultValue,
                             const char* path);
    void (*writeProfileString)(const char* section, const char* key, const char* value,
                               const char* path);
    // The main window's restored (normal) rectangle, whatever its state.
    void (*getMainWindowRect)(int32_t* left, int32_t* top, int32_t* right, int32_t* bottom);
    // Whether any part of the rectangle shows on some screen.
    bool (*isOnScreen)(int32_t left, int32_t top, int32_t right, int32_t bottom);
    // The primary screen, less what the taskbar takes.
    void (*getWorkArea)(int32_t* left, int32_t* top, int32_t* right, int32_t* bottom);

    // The main window.
    void (*setWindowTitle)(const char* title);
    void (*invalidate)(const PixelRect* rect);  // null: the whole client area; always erased
    void (*getClientSize)(int32_t* width, int32_t* height);
    void (*menuItemChanged)(int id, bool enabled, bool checked);
    bool (*isControlDown)();
    bool (*isShiftDown)();
    void (*destroyCaret)();
    void (*createCaret)(int32_t width, int32_t height);
    void (*showCaret)();
    void (*setCaretPos)(int32_t x, int32_t y);
    void (*showScrollBar)(int bar, bool show);  // a shown bar has both arrows enabled
    void (*setScrollRange)(int bar, int32_t maximum, bool redraw);
    void (*setScrollPos)(int bar, int32_t position);
    // The status bar's parts, left to right; a hidden bar keeps them for
    // when it shows.
    void (*showStatus)(const char* const* parts, int count);
    // The structure view: shown with sectorStructure's rows and the caret's
    // row selected, or hidden (false).
    void (*showStructure)(bool shown);
    // The data inspector: shown with inspectorRows, or hidden (false).
    void (*showInspector)(bool shown);
    // UTF-16 text as Shift-JIS into `text` (`size` bytes with its end): false
    // where a character has no Shift-JIS form (given as '?') or the system
    // lacks the code page.
    bool (*utf16ToShiftJis)(const uint16_t* units, uint32_t count, char* text, uint32_t size);
    // Shift-JIS `text`, to its end, as UTF-16 into `units` (room for `size`),
    // their number in `count`: false where the text is no Shift-JIS (a lead
    // byte without its second, a character code page 932 lacks), does not
    // fit, or the system lacks the code page.
    bool (*shiftJisToUtf16)(const char* text, uint16_t* units, uint32_t size, uint32_t* count);

    // Files by an opaque handle, null for none. Writing creates or replaces
    // the file, unshared; reading opens an existing file only.
    void* (*createFile)(const char* path);
    void* (*openFile)(const char* path);
    // An existing file to read and write in place, unshared.
    void* (*updateFile)(const char* path);
    // The next read or write at byte `offset`.
    bool (*seekFile)(void* file, uint64_t offset);
    bool (*fileExists)(const char* path);  // a file or a folder of that name
    bool (*getFileSize)(void* file, uint64_t* size);
    bool (*writeFile)(void* file, const void* data, uint32_t size);  // all of it, or false
    bool (*readFile)(void* file, void* data, uint32_t size);         // all of it, or false
    void (*closeFile)(void* file);
    void (*deleteFile)(const char* path);
    // The full path of `path` as the system completes it; false where it cannot.
    bool (*getFullPath)(const char* path, char* full, uint32_t size);
    // A file dialog owned by the main window, on lastFilePath, where the
    // chosen path lands; false when the user cancelled it.
    bool (*chooseFile)(const FileChoice& choice);
    // The clipboard's text, in place of all it held: `size` bytes of
    // Shift-JIS and a zero.
    ClipboardResult (*setClipboardText)(const char* text, uint32_t size);
    // The clipboard's text as Shift-JIS into `text` (`size` bytes with its
    // zero): a longer text is cut at size - 1 bytes, a clipboard without
    // text gives an empty one.
    ClipboardResult (*getClipboardText)(char* text, uint32_t size);

    // A drive image run: its progress bar (0 to 100), and between two chunks
    // the repaint and whatever the user did meanwhile; false when the user
    // asked the run to stop.
    void (*showProgress)(int percent);
    bool (*continueRun)();

    // A digest of the system's cryptography: begun (null where the system
    // has none of that kind), fed, and ended into its `size` bytes; false
    // where a step failed, after which it gives no digest. Ending with a null
    // `out` lets a digest go unfinished.
    void* (*beginDigest)(DigestKind kind);
    bool (*addToDigest)(void* digest, const void* data, uint32_t size);
    bool (*endDigest)(void* digest, uint8_t* out, uint32_t size);
};

extern Platform platform;
