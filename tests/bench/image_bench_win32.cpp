#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <vector>

#include "app/platform_win32.h"
#include "disk/sector_routes_win32.h"
#include "editor/dump_paint_win32.h"
#include "editor/editor_state.h"
#include "editor/navigation.h"
#include "editor/structure_rows.h"
#include "image/checksum.h"
#include "image/drive_image.h"
#include "image/file_save.h"
#include "image/image_restore.h"
#include "image/image_save.h"
#include "platform/crc32.h"
#include "platform/files.h"
#include "platform/platform.h"
#include "platform/settings.h"
#include "search/drive_search.h"
#include "search/find.h"

// Image runs of the volumes X: and Y: (whose sector count is prime) through
// the image code, counting their device transfers; the restore's write pass
// alone (the same held writes without the check); a Find through a whole
// volume beside its reads alone, exact and in either case, of text and of
// UTF-16; the first sector shown from a drive and from
// an image file of it.
//
// The program answers one line per command on its standard input, so that
// the script can run dd between its runs, in turns, while this process stays
// warm (the server, the DLLs, the drives once opened):
//   save L | restore L | writes L   one run on drive L: microseconds, device
//                                   transfers per GiB, the drive's sectors
//   search L                        its held reads alone, then Find of bytes,
//                                   of text and of UTF-16, MiB/s
//   open L                          the first sector shown from drive L and
//                                   from VELDIS_BENCH_IMAGE, milliseconds
//   clear L                         no image file of drive L any more, nor
//                                   its map, nor its saved file
//   file L                          ﾌｧｲﾙとして保存 of the first entry of
//                                   L's root directory: microseconds, bytes
//   checksum L                      the checksums of all of drive L as 計算
//                                   takes them: microseconds, device
//                                   transfers per GiB, the drive's sectors,
//                                   the SHA-256
//   parts L                         what that pass is made of, each alone:
//                                   its held reads of L, then CRC-32, MD5,
//                                   SHA-1 and SHA-256 of 128 MiB in memory,
//                                   MiB/s
// A command that cannot be measured answers FAIL and why.
namespace {

constexpr uint32_t SECTOR_SIZE = 512;
constexpr int COMMAND_SIZE = 64;
constexpr int DRIVE_COUNT = 26;
long transfers = 0;  // of the op counted
SectorOp countedOp = SectorOp::Read;
char tempFolder[MAX_PATH];
bool imageSaved[DRIVE_COUNT];  // its file is removed at the end

int countedTransfer(SectorOp op, int drive, uint32_t count, SectorNumber firstSector,
                    void* buffer)
{
    if (op == countedOp) transfers++;
    return ntTransfer(op, drive, count, firstSector, buffer);
}

double seconds(LARGE_INTEGER from, LARGE_INTEGER to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return double(to.QuadPart - from.QuadPart) / double(frequency.QuadPart);
}

template <typename Work>
double elapsed(Work work)
{
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    work();
    QueryPerformanceCounter(&end);
    return seconds(start, end);
}

// Two runs compared, the best of five of each, taken in turns and in the
// other order each round: neither gains by a cache the other warmed, and
// one slow pass decides nothing.
template <typename First, typename Second>
void timedPair(First first, Second second, double& firstBest, double& secondBest)
{
    firstBest = secondBest = 1e9;
    for (int round = 0; round < 5; round++) {
        if (round % 2 == 0) firstBest = std::min(firstBest, elapsed(first));
        secondBest = std::min(secondBest, elapsed(second));
        if (round % 2 == 1) firstBest = std::min(firstBest, elapsed(first));
    }
}

// Yes or OK to every question, and OK to the finished message.
int answerGoAhead(const char*, const char*, unsigned style)
{
    return (style & MB_TYPEMASK) == MB_YESNO ? IDYES : IDOK;
}

// The file saved from drive L, which the script compares with mcopy's.
void fileOf(char letter, char* file)
{
    std::snprintf(file, MAX_PATH, "%sveldis-bench-%c.bin", tempFolder, letter);
}

// Each drive has an image file of its own: a restore puts back the bytes
// its drive already holds, and changes nothing on it.
void imageFileOf(char letter, char* file)
{
    std::snprintf(file, MAX_PATH, "%sveldis-bench-%c.img", tempFolder, letter);
}

// The boot sector tells the count: Wine tells no length of a loop device.
// Zero for a drive that is not mapped.
SectorNumber sectorsOf(int drive)
{
    ImageDrive target;
    return queryImageDrive(driveSource(drive), target) ? target.layout.totalSectors : 0;
}

// The restore's writes alone: one held run, the same chunks from the file.
void writePass(int drive, const char* file, SectorNumber sectors)
{
    uint32_t chunk = runChunkSectors(SECTOR_SIZE);
    RunBuffer buffer(chunk * SECTOR_SIZE);
    HANDLE in = CreateFileA(file, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    SectorIo::beginRun(SectorOp::Write, driveSource(drive), SECTOR_SIZE, true);
    for (SectorNumber done = 0; done < sectors; done += chunk) {
        uint32_t step = uint32_t(std::min<SectorNumber>(chunk, sectors - done));
        DWORD read = 0;
        ReadFile(in, buffer.bytes, step * SECTOR_SIZE, &read, nullptr);
        SectorIo::transfer(SectorOp::Write, driveSource(drive), step, done, buffer.bytes);
    }
    SectorIo::endRun(true);
    CloseHandle(in);
}

// The search's reads alone: one held read-only run, the same chunks, nothing
// looked at.
void readPass(int drive, SectorNumber sectors)
{
    uint32_t chunk = runChunkSectors(SECTOR_SIZE);
    RunBuffer buffer(chunk * SECTOR_SIZE);
    SectorIo::beginRun(SectorOp::Read, driveSource(drive), SECTOR_SIZE, false);
    for (SectorNumber done = 0; done < sectors; done += chunk) {
        uint32_t step = uint32_t(std::min<SectorNumber>(chunk, sectors - done));
        SectorIo::transfer(SectorOp::Read, driveSource(drive), step, done, buffer.bytes);
    }
    SectorIo::endRun(false);
}

// One run of a save, a restore (from the drive's last save) or the restore's
// write pass alone.
void measureRun(const char* run, char letter)
{
    int drive = letter - 'A';
    SectorNumber sectors = sectorsOf(drive);
    if (sectors == 0) {
        std::printf("FAIL|%c: is not a volume\n", letter);
        return;
    }
    char file[MAX_PATH];
    imageFileOf(letter, file);
    bool save = std::strcmp(run, "save") == 0;
    bool restore = std::strcmp(run, "restore") == 0;
    countedOp = save ? SectorOp::Read : SectorOp::Write;
    transfers = 0;
    double time = elapsed([&] {
        if (save)
            runImageSave(file, driveSource(drive), SaveRange::WholeDrive);
        else if (restore)
            runImageRestore(file, driveSource(drive), RestoreStart::DriveStart);
        else
            writePass(drive, file, sectors);
    });
    imageSaved[drive] = imageSaved[drive] || save;
    double gib = double(sectors) * SECTOR_SIZE / (1 << 30);
    std::printf("%s|%c|%.0f|%.0f|%llu\n", run, letter, time * 1e6, transfers / gib,
                (unsigned long long)sectors);
}

// A save writes a file that does not exist yet, as dd's does: one written
// over would add the freeing of its old blocks to the figure. The script
// clears the file before it lets the disk settle.
void removeImage(char letter)
{
    char file[MAX_PATH];
    imageFileOf(letter, file);
    DeleteFileA(file);
    std::strcat(file, ".map");
    DeleteFileA(file);
}

void clearImage(char letter)
{
    removeImage(letter);
    char file[MAX_PATH];
    fileOf(letter, file);
    DeleteFileA(file);
    std::printf("clear|%c\n", letter);
}

// The file save as the menu command runs it, from the caret on the root
// directory's first entry, without its window. A FAIL when it was not saved
// whole: the figure would be of a refusal or a part.
void measureFileSave(char letter)
{
    Source source = driveSource(letter - 'A');
    if (!loadSector(source, 0) || !loadSector(source, rootDirectorySector())) {
        std::printf("FAIL|%c: has no root directory shown\n", letter);
        return;
    }
    editor.cursorLine = editor.cursorColumn = editor.cursorNibble = 0;
    if (beginFileSave() != FileSaveStep::ChooseFile) {
        std::printf("FAIL|%c: the first entry is no file\n", letter);
        return;
    }
    fileOf(letter, lastFilePath);
    double time = elapsed([] { runFileSave(); });
    WIN32_FILE_ATTRIBUTE_DATA saved;
    if (!GetFileAttributesExA(lastFilePath, GetFileExInfoStandard, &saved) ||
        saved.nFileSizeHigh != 0 || saved.nFileSizeLow != fileSaveRequest.entry.size) {
        std::printf("FAIL|%s was not saved whole\n", lastFilePath);
        return;
    }
    std::printf("file|%c|%.0f|%lu\n", letter, time * 1e6, (unsigned long)saved.nFileSizeLow);
}

// A FAIL where the run gave no SHA-256: the figure would be of a failure, or
// of less than the four sums.
void measureChecksum(char letter)
{
    int drive = letter - 'A';
    SectorNumber sectors = sectorsOf(drive);
    countedOp = SectorOp::Read;
    transfers = 0;
    bool done = false;
    double time = elapsed([&] {
        done = computeChecksums(ChecksumTarget::DriveRange, driveSource(drive),
                                SaveRange::WholeDrive);
    });
    const char* sha256 = std::strstr(checksumText, "# SHA-256\r\n");
    if (!done || sha256 == nullptr || std::strspn(sha256 + 11, "0123456789abcdef") != 64) {
        std::printf("FAIL|no SHA-256 of %c:\n", letter);
        return;
    }
    double gib = double(sectors) * SECTOR_SIZE / (1 << 30);
    std::printf("checksum|%c|%.0f|%.0f|%llu|%.64s\n", letter, time * 1e6, transfers / gib,
                (unsigned long long)sectors, sha256 + 11);
}

// One digest of the system over 128 MiB of memory, a run's chunk at a time.
double digestTime(DigestKind kind, const uint8_t* chunk, uint32_t size, int chunks)
{
    uint32_t digestSize = kind == DigestKind::Md5 ? 16 : kind == DigestKind::Sha1 ? 20 : 32;
    return elapsed([&] {
        void* digest = platform.beginDigest(kind);
        uint8_t out[32];
        for (int k = 0; k < chunks; k++) platform.addToDigest(digest, chunk, size);
        platform.endDigest(digest, out, digestSize);
    });
}

void measureChecksumParts(char letter)
{
    int drive = letter - 'A';
    SectorNumber sectors = sectorsOf(drive);
    uint32_t size = runChunkSectors(SECTOR_SIZE) * SECTOR_SIZE;
    int chunks = int((128u << 20) / size);
    RunBuffer chunk(size);
    for (uint32_t i = 0; i < size; i++) chunk.bytes[i] = uint8_t(i * 7 + i / 4093);
    double reads = elapsed([&] { readPass(drive, sectors); });
    uint32_t crc = 0;
    double crcTime = elapsed([&] {
        for (int k = 0; k < chunks; k++) crc = crc32(crc, chunk.bytes, size);
    });
    double mib = double(size) * chunks / (1 << 20);
    std::printf("parts|%c|%.0f|%.0f|%.0f|%.0f|%.0f|%08x\n", letter,
                double(sectors) * SECTOR_SIZE / (1 << 20) / reads, mib / crcTime,
                mib / digestTime(DigestKind::Md5, chunk.bytes, size, chunks),
                mib / digestTime(DigestKind::Sha1, chunk.bytes, size, chunks),
                mib / digestTime(DigestKind::Sha256, chunk.bytes, size, chunks), crc);
}

// Runs compared, the best of five of each, taken in turns and in the other
// order each round, as timedPair takes two.
void timedInTurns(const std::vector<std::function<void()>>& works, std::vector<double>& best)
{
    best.assign(works.size(), 1e9);
    for (int round = 0; round < 5; round++) {
        for (size_t k = 0; k < works.size(); k++) {
            size_t turn = round % 2 == 0 ? k : works.size() - 1 - k;
            best[turn] = std::min(best[turn], elapsed(works[turn]));
        }
    }
}

// Patterns not on the volume, so the search reads it all: 16 bytes that,
// like a text, hold no zero, of which a fresh volume is mostly made; 16
// letters and spaces in either case; 8 characters as UTF-16 in either case.
// Beside the search's reads alone. A FAIL when one was found after all: the
// figure would be of a shorter search.
void measureSearch(char letter)
{
    int drive = letter - 'A';
    SectorNumber sectors = sectorsOf(drive);
    if (sectors == 0) {
        std::printf("FAIL|%c: is not a volume\n", letter);
        return;
    }
    SearchPattern patterns[3];
    patterns[0].length = 16;
    patterns[0].folded = false;
    for (uint32_t k = 0; k < patterns[0].length; k++) patterns[0].bytes[k] = uint8_t(0xF0 + k);
    if (!parseFindPattern("Veldis find test", FindKind::Text, true, patterns[1]) ||
        !parseFindPattern("VeldisFt", FindKind::Utf16, true, patterns[2])) {
        std::printf("FAIL|no pattern of the texts\n");
        return;
    }
    SearchEnd ends[3] = {};
    std::vector<std::function<void()>> works = {[&] { readPass(drive, sectors); }};
    for (int k = 0; k < 3; k++) {
        works.push_back([&, k] {
            ends[k] =
                searchDrive(driveSource(drive), SECTOR_SIZE, sectors, patterns[k], false, 0).end;
        });
    }
    std::vector<double> best;
    timedInTurns(works, best);
    for (int k = 0; k < 3; k++) {
        if (ends[k] != SearchEnd::NotFound) {
            std::printf("FAIL|pattern %d searched for is on %c: (end %d)\n", k, letter,
                        int(ends[k]));
            return;
        }
    }
    double mib = double(sectors) * SECTOR_SIZE / (1 << 20);
    std::printf("search|%c|%.0f|%.0f|%.0f|%.0f\n", letter, mib / best[0], mib / best[1],
                mib / best[2], mib / best[3]);
}

// The first sector shown and painted, twenty times: from the mapped drive,
// and from an image file of the same volume. A FAIL when the image was not
// shown: the figure would be of a refusal.
void measureOpening(char letter)
{
    const char* imagePath = std::getenv("VELDIS_BENCH_IMAGE");
    if (imagePath == nullptr) {
        std::printf("FAIL|no VELDIS_BENCH_IMAGE\n");
        return;
    }
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 800, 800);
    HGDIOBJ previous = SelectObject(dc, bitmap);
    auto twenty = [&](auto open) {
        for (int round = 0; round < 20; round++) {
            resetEditor();
            open();
            paintDumpInto(dc);
        }
    };
    double drive = 0, image = 0;
    timedPair([&] { twenty([&] { loadSector(driveSource(letter - 'A'), 0); }); },
              [&] { twenty([&] { openImageFile(imagePath); }); }, drive, image);
    SelectObject(dc, previous);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    if (editor.source != IMAGE_FILE_SOURCE || editor.sectorSize != 512)
        std::printf("FAIL|%s was not shown\n", imagePath);
    else
        std::printf("open|%c|%.3f|%.3f\n", letter, drive * 1000 / 20, image * 1000 / 20);
}

void answer(const char* command)
{
    char verb[16];
    char letter = 0;
    int length = int(std::strcspn(command, "\r\n"));
    if (std::sscanf(command, "%15s %c", verb, &letter) != 2 || letter < 'A' ||
        letter >= 'A' + DRIVE_COUNT)
        std::printf("FAIL|not a command: %.*s\n", length, command);
    else if (std::strcmp(verb, "search") == 0)
        measureSearch(letter);
    else if (std::strcmp(verb, "open") == 0)
        measureOpening(letter);
    else if (std::strcmp(verb, "clear") == 0)
        clearImage(letter);
    else if (std::strcmp(verb, "file") == 0)
        measureFileSave(letter);
    else if (std::strcmp(verb, "checksum") == 0)
        measureChecksum(letter);
    else if (std::strcmp(verb, "parts") == 0)
        measureChecksumParts(letter);
    else if (std::strcmp(verb, "save") == 0 || std::strcmp(verb, "restore") == 0 ||
             std::strcmp(verb, "writes") == 0)
        measureRun(verb, letter);
    else
        std::printf("FAIL|not a command: %.*s\n", length, command);
    // The script waits for the line before it goes on.
    std::fflush(stdout);
}

}  // namespace

int main()
{
    installWin32Platform();
    platform.messageBox = answerGoAhead;  // every question, and the finished message
    settings.readRetries = 1;  // a failing drive's save, as ddrescue -r1 beside it
    SectorIo::setRoutes({countedTransfer, absDiskTransfer, extAbsDiskTransfer, beginNtRun,
                         endNtRun, queryNtDevice, openImageFile, closeImageFile,
                         transferImageFile, diskTransfer, beginDiskRun, endDiskRun, queryDisk});
    SectorIo::setMethod(AccessMethod::WinNt5);
    GetTempPathA(sizeof tempFolder, tempFolder);
    char command[COMMAND_SIZE];
    while (std::fgets(command, sizeof command, stdin) != nullptr) answer(command);
    for (int drive = 0; drive < DRIVE_COUNT; drive++) {
        if (imageSaved[drive]) removeImage(char('A' + drive));
    }
    return 0;
}
