#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "app/platform_win32.h"
#include "disk/sector_routes_win32.h"
#include "image/drive_image.h"
#include "image/image_restore.h"
#include "image/image_save.h"
#include "platform/platform.h"

// Image runs of the volumes X: and, where it is mapped, Y: (whose sector
// count is prime) through the image code, counting their device transfers;
// beside them the restore's write pass alone: the same held writes without
// the check.
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

// The best of three runs: the page cache and the machine make the others
// noisy. `counted` gets the transfers of one run.
template <typename Work>
double timed(Work work, long* counted = nullptr)
{
    double best = 1e9;
    for (int round = 0; round < 3; round++) {
        transfers = 0;
        LARGE_INTEGER start, end;
        QueryPerformanceCounter(&start);
        work();
        QueryPerformanceCounter(&end);
        best = std::min(best, seconds(start, end));
        if (counted != nullptr) *counted = transfers;
    }
    return best;
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

}  // namespace

int main()
{
    installWin32Platform();
    platform.messageBox = answerGoAhead;  // every question, and the finished message
    SectorIo::setRoutes({countedTransfer, absDiskTransfer, extAbsDiskTransfer, beginNtRun,
                         endNtRun, queryNtDevice});
    SectorIo::setMethod(AccessMethod::WinNt5);
    char folder[MAX_PATH], file[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    std::snprintf(file, sizeof file, "%sveldis-bench.img", folder);
    measure('X', file);
    measure('Y', file);
    return 0;
}
