#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "app/platform_win32.h"
#include "disk/sector_routes_win32.h"
#include "image/drive_image.h"
#include "image/image_save.h"
#include "platform/platform.h"

// Saving a whole volume X: through the image code, beside a bare loop of the
// same reads (up to 18 KiB each) on one held handle, and beside the same
// reads each opening the volume as a single-sector read does.
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

    double held = timed([&] {
        HANDLE device = CreateFileA("\\\\.\\X:", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, 0, nullptr);
        DWORD read = 0;
        for (uint32_t done = 0; done < sectors; done += CHUNK)
            ReadFile(device, buffer.data(), CHUNK * SECTOR_SIZE, &read, nullptr);
        CloseHandle(device);
    });
    double heldSeeking = timed([&] {
        HANDLE device = CreateFileA("\\\\.\\X:", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, 0, nullptr);
        DWORD read = 0;
        for (uint32_t done = 0; done < sectors; done += CHUNK) {
            LONG high = LONG(uint64_t(done) * SECTOR_SIZE >> 32);
            SetFilePointer(device, LONG(done * SECTOR_SIZE), &high, FILE_BEGIN);
            ReadFile(device, buffer.data(), CHUNK * SECTOR_SIZE, &read, nullptr);
        }
        CloseHandle(device);
    });
    char folder[MAX_PATH], file[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    std::snprintf(file, sizeof file, "%sveldis-bench.img", folder);
    double heldWriting = timed([&] {
        HANDLE device = CreateFileA("\\\\.\\X:", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, 0, nullptr);
        HANDLE out = CreateFileA(file, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD read = 0, written = 0;
        for (uint32_t done = 0; done < sectors; done += CHUNK) {
            ReadFile(device, buffer.data(), CHUNK * SECTOR_SIZE, &read, nullptr);
            WriteFile(out, buffer.data(), read, &written, nullptr);
        }
        CloseHandle(out);
        CloseHandle(device);
    });
    DeleteFileA(file);
    double perTransfer = timed([&] {
        for (uint32_t done = 0; done < sectors; done += CHUNK)
            ntTransfer(SectorOp::Read, DRIVE_X, CHUNK, done, buffer.data());
    });
    double save = timed([&] { runImageSave(file, DRIVE_X, SaveRange::WholeDrive); });
    DeleteFileA(file);

    double mib = sectors * double(SECTOR_SIZE) / (1 << 20);
    std::printf("volume: %.0f MiB in %u sectors, %u-sector transfers\n", mib, sectors, CHUNK);
    std::printf("bare held loop:   %.3f s\n", held);
    std::printf("held, seeking:    %.3f s\n", heldSeeking);
    std::printf("held, to a file:  %.3f s\n", heldWriting);
    std::printf("per transfer:     %.3f s\n", perTransfer);
    std::printf("image save:       %.3f s (file written too)\n", save);
    std::printf("image save speed / held loop speed: %.2f\n", held / save);
    std::printf("image save speed / held loop to a file speed: %.2f\n", heldWriting / save);
    std::printf("image save speed / per-transfer speed: %.1f\n", perTransfer / save);
    return 0;
}
