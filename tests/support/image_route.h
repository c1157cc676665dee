#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "disk/sector_io.h"

// A sector route that serves drives from image files, for tests: any sector
// size, reads and writes, and failures where a test asks for them.
namespace ImageRoute {

struct Request {
    SectorOp op;
    int drive;
    uint32_t count;
    SectorNumber firstSector;
    bool inRun;  // inside a run of its drive
};

// A run, from its beginning to its end.
struct Run {
    SectorOp op;
    int drive;
    uint32_t sectorSize;
    bool locked;
    bool begun;      // false: refused (no such drive, other sector size)
    bool ended;
    bool dismounted;
};

void reset();
void attach(int drive, const std::string& path, uint32_t sectorSize);
// Physical disk `disk` (\\.\PhysicalDriveN): logged, failed and hidden as the
// drive numbered diskDrive(disk).
void attachDisk(int disk, const std::string& path, uint32_t sectorSize);
constexpr int diskDrive(int disk)
{
    return 100 + disk;
}
// Every transfer of `op` on `drive` that touches `sector` fails with status 1.
void failSector(int drive, SectorOp op, SectorNumber sector);
// The device of `drive` answers no size, as no device does on Windows 95.
void hideDevice(int drive);
// A write touching `sector` of `drive` answers success and stores nothing,
// as a failing or counterfeit flash drive does.
void dropWrites(int drive, SectorNumber sector);
const std::vector<Request>& requests();
const std::vector<Run>& runs();

int transfer(SectorOp op, int drive, uint32_t count, SectorNumber firstSector, void* buffer);
bool beginRun(SectorOp op, int drive, uint32_t sectorSize, bool lock);
void endRun(bool dismount);
bool queryDevice(int drive, uint32_t* sectorSize, uint64_t* sectorCount);
SectorRoutes routes();

}  // namespace ImageRoute
