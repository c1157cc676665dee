#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "app/platform_win32.h"
#include "disk/sector_routes_win32.h"
#include "editor/dump_paint_win32.h"
#include "editor/editor_state.h"
#include "editor/navigation.h"
#include "image/drive_image.h"
#include "image/image_restore.h"
#include "image/image_save.h"
#include "platform/platform.h"
#include "search/drive_search.h"

// Image runs of the volumes X: and, where it is mapped, Y: (whose sector
// count is prime) through the image code, counting their device transfers;
// beside them the restore's write pass alone: the same held writes without
// the check. On X: also a Find through the whole volume beside its reads
// alone.
namespace {

constexpr uint32_t SECTOR_SIZE = 512;
long transfers = 0;  // of the op counted
SectorOp countedOp = SectorOp::Read;

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

// The best of three runs: the page cache and the machine make the others
// noisy. `counted` gets the transfers of one run.
template <typename Work>
double timed(Work work, long* counted = nullptr)
{
    double best = 1e9;
    for (int round = 0; round < 3; round++) {
        transfers = 0;
        best = std::min(best, elapsed(work));
        if (counted != nullptr) *counted = transfers;
    }
    return best;
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

// OK, or Yes to replacing the image of the round before.
int answerGoAhead(const char*, const char*, unsigned style)
{
    return (style & MB_TYPEMASK) == MB_YESNO ? IDYES : IDOK;
}

// The restore's writes alone: one held run, the same chunks from the file.
void writePass(int drive, const char* file, SectorNumber sectors)
{
    uint32_t chunk = runChunkSectors(SECTOR_SIZE);
    RunBuffer buffer(chunk * SECTOR_SIZE);
    HANDLE in = CreateFileA(file, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    SectorIo::beginRun(SectorOp::Write, drive, SECTOR_SIZE, true);
    for (SectorNumber done = 0; done < sectors; done += chunk) {
        uint32_t step = uint32_t(std::min<SectorNumber>(chunk, sectors - done));
        DWORD read = 0;
        ReadFile(in, buffer.bytes, step * SECTOR_SIZE, &read, nullptr);
        SectorIo::transfer(SectorOp::Write, drive, step, done, buffer.bytes);
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
    SectorIo::beginRun(SectorOp::Read, drive, SECTOR_SIZE, false);
    for (SectorNumber done = 0; done < sectors; done += chunk) {
        uint32_t step = uint32_t(std::min<SectorNumber>(chunk, sectors - done));
        SectorIo::transfer(SectorOp::Read, drive, step, done, buffer.bytes);
    }
    SectorIo::endRun(false);
}

// Bytes not on the volume, so the search reads it all; like a text, they
// hold no zero, of which a fresh volume is mostly made. False when they were
// found after all: the figure would be of a shorter search.
bool measureSearch(char letter)
{
    int drive = letter - 'A';
    ImageDrive target;
    if (!queryImageDrive(drive, target)) return true;
    SectorNumber sectors = target.layout.totalSectors;
    SearchPattern pattern = {{}, 16};
    for (uint32_t k = 0; k < pattern.length; k++) pattern.bytes[k] = uint8_t(0xF0 + k);
    SearchResult result = {};
    double reads = 0, search = 0;
    timedPair([&] { readPass(drive, sectors); },
              [&] { result = searchDrive(drive, SECTOR_SIZE, sectors, pattern, false, 0); },
              reads, search);
    if (result.end != SearchEnd::NotFound) {
        std::fprintf(stderr, "the pattern searched for is on %c: (end %d)\n", letter,
                     int(result.end));
        return false;
    }
    double mib = double(sectors) * SECTOR_SIZE / (1 << 20);
    std::printf("FIGURE|%c|reads|%.0f\n", letter, mib / reads);
    std::printf("FIGURE|%c|search|%.0f\n", letter, mib / search);
    return true;
}

void measure(char letter, const char* file)
{
    int drive = letter - 'A';
    ImageDrive target;  // Wine tells no length of a loop device: the boot sector does
    if (!queryImageDrive(drive, target)) return;
    SectorNumber sectors = target.layout.totalSectors;
    double gib = double(sectors) * SECTOR_SIZE / (1 << 30);
    long saveCount = 0, restoreCount = 0, writeCount = 0;
    countedOp = SectorOp::Read;
    double save = timed([&] { runImageSave(file, drive, SaveRange::WholeDrive); }, &saveCount);
    // The volume's own bytes go back: the restores change nothing on it.
    countedOp = SectorOp::Write;
    double restore =
        timed([&] { runImageRestore(file, drive, RestoreStart::DriveStart); }, &restoreCount);
    double writes = timed([&] { writePass(drive, file, sectors); }, &writeCount);
    DeleteFileA(file);
    std::printf("FIGURE|%c|sectors|%llu\n", letter, (unsigned long long)sectors);
    std::printf("FIGURE|%c|save|%.3f|%.0f\n", letter, save, saveCount / gib);
    std::printf("FIGURE|%c|restore|%.3f|%.0f\n", letter, restore, restoreCount / gib);
    std::printf("FIGURE|%c|writes|%.3f|%.0f\n", letter, writes, writeCount / gib);
}

// The first sector shown and painted, twenty times: from the mapped drive,
// and from an image file of the same volume. False when the image was not
// shown: the figure would be of a refusal.
bool measureOpening(char letter, const char* imagePath)
{
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
    timedPair([&] { twenty([&] { loadSector(letter - 'A', 0); }); },
              [&] { twenty([&] { openImageFile(imagePath); }); }, drive, image);
    SelectObject(dc, previous);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    if (editor.currentDrive != IMAGE_FILE_DRIVE || editor.sectorSize != 512) {
        std::fprintf(stderr, "%s was not shown\n", imagePath);
        return false;
    }
    std::printf("FIGURE|%c|open-drive|%.3f\n", letter, drive * 1000 / 20);
    std::printf("FIGURE|%c|open-image|%.3f\n", letter, image * 1000 / 20);
    return true;
}

}  // namespace

int main()
{
    installWin32Platform();
    platform.messageBox = answerGoAhead;  // every question, and the finished message
    SectorIo::setRoutes({countedTransfer, absDiskTransfer, extAbsDiskTransfer, beginNtRun,
                         endNtRun, queryNtDevice, openImageFile, closeImageFile,
                         transferImageFile});
    SectorIo::setMethod(AccessMethod::WinNt5);
    char folder[MAX_PATH], file[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    std::snprintf(file, sizeof file, "%sveldis-bench.img", folder);
    measure('X', file);
    measure('Y', file);
    if (!measureSearch('X')) return 1;
    const char* image = std::getenv("VELDIS_BENCH_IMAGE");
    return image == nullptr || measureOpening('X', image) ? 0 : 1;
}
