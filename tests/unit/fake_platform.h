#pragma once
#include <cstdint>
#include <deque>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/platform.h"

// A recording stand-in for the Win32 shell: message boxes are logged and
// answered from a script, volume queries answered from plain fields.
struct ShownBox {
    std::string text;
    std::string caption;
    unsigned style;
};

struct FakeVolume {
    bool present = true;  // GetVolumeInformationA succeeds
    std::string label;
    std::string fileSystem = "FAT";
    uint32_t serialNumber = 0;
    uint32_t maxComponentLength = 255;
    uint32_t fileSystemFlags = 0;
    bool freeSpaceOk = true;
    uint32_t sectorsPerCluster = 1;
    uint32_t bytesPerSector = 512;
    uint32_t freeClusters = 0;
    uint32_t totalClusters = 0;
    bool hasExtendedQuery = true;
    uint64_t freeBytesAvailable = 0;
    uint64_t totalBytes = 0;
    uint64_t totalFreeBytes = 0;
};

struct ProfileWrite {
    std::string section, key, value, path;
};

struct FakeScrollBar {
    bool visible = false;
    int32_t maximum = 0;
    int32_t position = 0;
};

struct FakePlatform {
    std::vector<ShownBox> boxes;
    std::deque<int> answers;  // empty: every box answers 0, as a box that failed
    int adminCheck = 1;
    std::vector<uint32_t> adminChecks;
    FakeVolume volume;                       // any drive without an entry below
    std::map<char, FakeVolume> volumesByDrive;  // by drive letter
    std::vector<std::string> queriedRoots;
    unsigned driveTypes[26] = {};  // by drive index; 0 answers DRIVE_UNKNOWN
    int diskOfDrive[26] = {};      // the physical disk each drive's volume lies on
    std::string modulePath = "C:\\VELDIS\\VELDIS.EXE";
    std::map<std::string, std::string> profile;  // "SECTION/KEY" -> text, of the file at iniPath
    std::vector<std::string> profileReads;
    std::vector<ProfileWrite> profileWrites;
    int32_t window[4] = {0, 0, 640, 480};  // left, top, right, bottom
    int32_t screen[4] = {0, 0, 1280, 1024};   // the one screen
    int32_t workArea[4] = {0, 0, 1280, 984};  // its part above the taskbar

    std::string title;
    int wholeRepaints = 0;
    std::vector<PixelRect> repaintedRects;
    int32_t clientWidth = 640;
    int32_t clientHeight = 400;
    // Nonzero: shown bars take this much of the window's inside, and each
    // resize is reported at once, as a window's scroll bars do.
    int32_t barThickness = 0;
    int32_t insideWidth = 640, insideHeight = 400;
    bool controlDown = false;
    bool shiftDown = false;
    bool caretShown = false;
    int caretsCreated = 0;
    int32_t caretWidth = 0, caretHeight = 0, caretX = 0, caretY = 0;
    FakeScrollBar bars[2];  // SCROLL_BAR_HORZ, SCROLL_BAR_VERT
    std::vector<std::string> status;  // the status bar's parts as last shown
    int structureShows = 0;       // calls that showed the structure view
    bool structureShown = false;  // as the last call left it
    int inspectorShows = 0;       // likewise, the data inspector
    bool inspectorShown = false;

    // Files are real files; these make their calls fail.
    bool createFails = false;
    bool openFails = false;
    bool sizeFails = false;
    bool seekFails = false;
    uint64_t reportedSize = 0;            // nonzero: the size told instead of the real one
    uint64_t writeFailsPast = UINT64_MAX; // a write that would end past this offset fails
    std::vector<std::string> createdFiles;
    int openFiles = 0;

    std::deque<std::string> chosenFiles;  // the file dialogs' answers; none left: cancelled
    std::vector<FileChoice> fileDialogs;
    std::vector<std::string> proposedPaths;  // the path each dialog opened on

    std::string clipboard;  // what the program set, or gets
    ClipboardResult clipboardAnswer = ClipboardResult::Done;  // to a set and a get alike

    std::vector<int> progress;  // each position the run's bar took
    int runContinues = -1;      // how many chunks the run may go on after; -1: all

    // The system's digests: none unless offered. One offered ends as the
    // count of bytes it was fed (8 bytes, little-endian) and zeros, its last
    // byte the kind's number plus one.
    std::set<DigestKind> digestsOffered;
    int digestAddsLeft = -1;  // adds, over all digests, before the rest fail; -1: none fail
    bool digestEndFails = false;
    int openDigests = 0;
};

extern FakePlatform fake;

// Resets the fake and every process-wide record the core keeps, then installs the fake.
void installFakePlatform();

// The window's inside, bars included, becomes width x height; the client area
// is what the shown bars leave of it, and the window procedure hears of it.
void resizeWindow(int32_t width, int32_t height);
