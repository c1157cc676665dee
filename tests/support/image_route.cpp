#include "image_route.h"

#include <cstdio>
#include <map>
#include <set>
#include <tuple>

namespace {

struct Image {
    std::string path;
    uint32_t sectorSize;
};

std::map<int, Image> images;
std::set<std::tuple<int, SectorOp, SectorNumber>> failures;
std::set<int> hiddenDevices;
std::set<std::pair<int, SectorNumber>> droppedWrites;
std::vector<ImageRoute::Request> log;
std::vector<ImageRoute::Run> runLog;

bool inRunOf(int drive)
{
    return !runLog.empty() && runLog.back().begun && !runLog.back().ended &&
           runLog.back().drive == drive;
}

// Images may pass 2 GiB, beyond a 32-bit long.
bool seek(std::FILE* file, uint64_t offset, int origin = SEEK_SET)
{
#ifdef _WIN32
    return _fseeki64(file, int64_t(offset), origin) == 0;
#else
    return fseeko(file, off_t(offset), origin) == 0;
#endif
}

uint64_t fileSize(std::FILE* file)
{
    if (!seek(file, 0, SEEK_END)) return 0;
#ifdef _WIN32
    return uint64_t(_ftelli64(file));
#else
    return uint64_t(ftello(file));
#endif
}

bool failing(int drive, SectorOp op, uint32_t count, SectorNumber firstSector)
{
    for (SectorNumber s = firstSector; s < firstSector + count; s++)
        if (failures.count({drive, op, s})) return true;
    return false;
}

bool dropped(int drive, SectorOp op, uint32_t count, SectorNumber firstSector)
{
    for (SectorNumber s = firstSector; op == SectorOp::Write && s < firstSector + count; s++)
        if (droppedWrites.count({drive, s})) return true;
    return false;
}

// Reads or writes whole sectors inside the image; a range past its end fails.
bool move(const Image& image, SectorOp op, uint32_t count, SectorNumber firstSector,
          void* buffer)
{
    std::FILE* file = std::fopen(image.path.c_str(), op == SectorOp::Write ? "r+b" : "rb");
    if (file == nullptr) return false;
    uint64_t bytes = uint64_t(count) * image.sectorSize;
    uint64_t size = fileSize(file);
    bool ok = firstSector <= size / image.sectorSize &&
              firstSector * image.sectorSize + bytes <= size;
    ok = ok && seek(file, firstSector * image.sectorSize);
    if (ok && op == SectorOp::Read) ok = std::fread(buffer, 1, bytes, file) == bytes;
    if (ok && op == SectorOp::Write) ok = std::fwrite(buffer, 1, bytes, file) == bytes;
    return std::fclose(file) == 0 && ok;
}

}  // namespace

void ImageRoute::reset()
{
    images.clear();
    failures.clear();
    hiddenDevices.clear();
    droppedWrites.clear();
    log.clear();
    runLog.clear();
}

void ImageRoute::attach(int drive, const std::string& path, uint32_t sectorSize)
{
    images[drive] = {path, sectorSize};
}

void ImageRoute::attachDisk(int disk, const std::string& path, uint32_t sectorSize)
{
    attach(diskDrive(disk), path, sectorSize);
}

void ImageRoute::failSector(int drive, SectorOp op, SectorNumber sector)
{
    failures.insert({drive, op, sector});
}

void ImageRoute::hideDevice(int drive)
{
    hiddenDevices.insert(drive);
}

void ImageRoute::dropWrites(int drive, SectorNumber sector)
{
    droppedWrites.insert({drive, sector});
}

const std::vector<ImageRoute::Request>& ImageRoute::requests()
{
    return log;
}

int ImageRoute::transfer(SectorOp op, int drive, uint32_t count, SectorNumber firstSector,
                         void* buffer)
{
    log.push_back({op, drive, count, firstSector, inRunOf(drive)});
    auto image = images.find(drive);
    if (image == images.end() || failing(drive, op, count, firstSector)) return 1;
    if (op != SectorOp::Read && op != SectorOp::Write) return 1;
    if (dropped(drive, op, count, firstSector)) return 0;
    return move(image->second, op, count, firstSector, buffer) ? 0 : 1;
}

const std::vector<ImageRoute::Run>& ImageRoute::runs()
{
    return runLog;
}

bool ImageRoute::beginRun(SectorOp op, int drive, uint32_t sectorSize, bool lock)
{
    auto image = images.find(drive);
    bool begun = image != images.end() && image->second.sectorSize == sectorSize;
    runLog.push_back({op, drive, sectorSize, lock, begun, false, false});
    return begun;
}

void ImageRoute::endRun(bool dismount)
{
    if (runLog.empty() || !runLog.back().begun || runLog.back().ended) return;
    runLog.back().ended = true;
    runLog.back().dismounted = dismount;
}

bool ImageRoute::queryDevice(int drive, uint32_t* sectorSize, uint64_t* sectorCount)
{
    auto image = images.find(drive);
    if (image == images.end() || hiddenDevices.count(drive)) return false;
    std::FILE* file = std::fopen(image->second.path.c_str(), "rb");
    if (file == nullptr) return false;
    *sectorSize = image->second.sectorSize;
    *sectorCount = fileSize(file) / *sectorSize;
    std::fclose(file);
    return *sectorCount != 0;
}

namespace {

// The image file drive: a file opened by its path for each transfer.
struct ImageFile {
    std::string path;
};

void* openImage(const char* path, uint64_t* length, bool* readOnly)
{
    std::FILE* file = std::fopen(path, "r+b");
    *readOnly = file == nullptr;
    if (*readOnly) file = std::fopen(path, "rb");
    if (file == nullptr) return nullptr;
    *length = fileSize(file);
    std::fclose(file);
    return new ImageFile{path};
}

void closeImage(void* file)
{
    delete static_cast<ImageFile*>(file);
}

int transferImage(void* image, SectorOp op, uint64_t offset, uint32_t bytes, void* buffer)
{
    const std::string& path = static_cast<ImageFile*>(image)->path;
    std::FILE* file = std::fopen(path.c_str(), op == SectorOp::Read ? "rb" : "r+b");
    if (file == nullptr) return 1;
    bool moved = seek(file, offset) &&
                 (op == SectorOp::Read ? std::fread(buffer, 1, bytes, file)
                                       : std::fwrite(buffer, 1, bytes, file)) == bytes;
    std::fclose(file);
    return moved ? 0 : 1;
}

int diskTransfer(SectorOp op, int disk, uint32_t count, SectorNumber firstSector, void* buffer)
{
    return ImageRoute::transfer(op, ImageRoute::diskDrive(disk), count, firstSector, buffer);
}

bool beginDiskRun(SectorOp op, int disk, uint32_t sectorSize)
{
    return ImageRoute::beginRun(op, ImageRoute::diskDrive(disk), sectorSize, false);
}

void endDiskRun()
{
    ImageRoute::endRun(false);
}

bool queryDisk(int disk, uint32_t* sectorSize, uint64_t* sectorCount)
{
    return ImageRoute::queryDevice(ImageRoute::diskDrive(disk), sectorSize, sectorCount);
}

}  // namespace

SectorRoutes ImageRoute::routes()
{
    return {transfer,   transfer,      transfer,     beginRun,     endRun,     queryDevice, openImage,
            closeImage, transferImage, diskTransfer, beginDiskRun, endDiskRun, queryDisk};
}
