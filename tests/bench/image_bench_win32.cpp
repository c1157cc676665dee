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

// Saving and restoring a whole volume X: through the image code, beside the
// same transfers (up to 18 KiB each) each opening the volume as a
// single-sector read or write does.
namespace {

constexpr int DRIVE_X = 'X' - 'A';
constexpr uint32_t SECTOR_SIZE = 512;

double seconds(LARGE_INTEGER from, LARGE_INTEGER to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return double(to.QuadPart - from.QuadPart) / double(frequency.QuadPart);
}

// The best of three runs: the page cache and the machine make the others noisy.
template <typename Work>
double timed(Work work)
{
    double best = 1e9;
    for (int round = 0; round < 3; round++) {
        LARGE_INTEGER start, end;
        QueryPerformanceCounter(&start);
        work();
        QueryPerformanceCounter(&end);
        best = std::min(best, seconds(start, end));
    }
    return best;
}

int answerOk(const char*, const char*, unsigned)
{
    return IDOK;
}

}  // namespace

int main()
{
    installWin32Platform();
    platform.messageBox = answerOk;  // the finished message
    SectorIo::setRoutes(WIN32_SECTOR_ROUTES);
    SectorIo::setMethod(AccessMethod::WinNt5);
    ImageDrive target;  // Wine tells no length of a loop device: the boot sector does
    if (!queryImageDrive(DRIVE_X, target)) return 1;
    uint32_t sectors = target.layout.totalSectors;
    const uint32_t CHUNK = transferChunk(sectors, SECTOR_SIZE);  // the image save's own
    std::vector<uint8_t> buffer(IMAGE_BUFFER_SIZE);

    char folder[MAX_PATH], file[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    std::snprintf(file, sizeof file, "%sveldis-bench.img", folder);
    double perTransferReads = timed([&] {
        for (uint32_t done = 0; done < sectors; done += CHUNK)
            ntTransfer(SectorOp::Read, DRIVE_X, CHUNK, done, buffer.data());
    });
    double save = timed([&] { runImageSave(file, DRIVE_X, SaveRange::WholeDrive); });
    // The volume's own bytes go back: the restores change nothing on it.
    double perTransferWrites = timed([&] {
        HANDLE in = CreateFileA(file, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        DWORD read = 0;
        for (uint32_t done = 0; done < sectors; done += CHUNK) {
            ReadFile(in, buffer.data(), CHUNK * SECTOR_SIZE, &read, nullptr);
            ntTransfer(SectorOp::Write, DRIVE_X, CHUNK, done, buffer.data());
        }
        CloseHandle(in);
    });
    double restore = timed([&] { runImageRestore(file, DRIVE_X, RestoreStart::DriveStart); });
    DeleteFileA(file);

    double mib = sectors * double(SECTOR_SIZE) / (1 << 20);
    std::printf("ROW|image save, %.0f MiB volume|%.3f|s|the same reads, a device open each|%.3f\n", mib,
                save, perTransferReads);
    std::printf("ROW|image restore, %.0f MiB volume|%.3f|s|the same writes, a device open each|%.3f\n",
                mib, restore, perTransferWrites);
    std::printf("FIGURE|save|%.3f\nFIGURE|restore|%.3f\n", save, restore);
    return 0;
}
