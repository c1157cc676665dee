#include "disk/sector_io.h"

#include <cstdio>

#include "platform/files.h"

namespace {

int noRoute(SectorOp, int, uint32_t, SectorNumber, void*)
{
    return SECTOR_STATUS_FAILED;
}

AccessMethod currentMethod = AccessMethod::Unsupported;
SectorRoutes currentRoutes = {noRoute, noRoute, noRoute, nullptr, nullptr, nullptr, nullptr,
                              nullptr, nullptr, noRoute, nullptr, nullptr, nullptr};

// The image file open as IMAGE_FILE_SOURCE, if any.
struct ImageFile {
    void* file;  // null: none open
    uint64_t length;
    bool readOnly;
    uint32_t sectorSize;
    char path[FILE_PATH_SIZE];
};
ImageFile image = {nullptr, 0, false, 512, ""};
// A run on the image file holds it, in sectors of the size it began with;
// one on a physical disk holds the disk.
bool imageRun = false;
bool diskRun = false;
uint32_t imageRunSectorSize = 0;
uint64_t writes = 0;

// Only whole sectors inside the file move: a write never extends it, and a
// run's buffer never takes sectors of another size than the run's.
int transferImage(SectorOp op, uint32_t count, SectorNumber firstSector, void* buffer)
{
    uint64_t sectors = image.length / image.sectorSize;
    if (image.file == nullptr || firstSector > sectors ||
        count > sectors - firstSector || (op == SectorOp::Write && image.readOnly) ||
        (imageRun && image.sectorSize != imageRunSectorSize))
        return SECTOR_STATUS_FAILED;
    return currentRoutes.imageTransfer(image.file, op, firstSector * image.sectorSize,
                                       count * image.sectorSize, buffer);
}

bool usesNtRoute()
{
    return static_cast<int>(currentMethod) < 0;
}

SectorIo::ImageOpening openImageAt(const char* path)
{
    uint64_t length = 0;
    bool readOnly = false;
    void* file = currentRoutes.openImage == nullptr
                     ? nullptr
                     : currentRoutes.openImage(path, &length, &readOnly);
    if (file == nullptr) return SectorIo::ImageOpening::Unopened;
    if (length < 512) {
        currentRoutes.closeImage(file);
        return SectorIo::ImageOpening::TooShort;
    }
    image = {file, length, readOnly, 512, ""};
    std::snprintf(image.path, sizeof image.path, "%s", path);
    return SectorIo::ImageOpening::Opened;
}

}  // namespace

void SectorIo::setMethod(AccessMethod method)
{
    currentMethod = method;
}

AccessMethod SectorIo::method()
{
    return currentMethod;
}

void SectorIo::setRoutes(const SectorRoutes& routes)
{
    currentRoutes = routes;
}

int SectorIo::transfer(SectorOp op, Source source, uint32_t count, SectorNumber firstSector,
                       void* buffer)
{
    // Counted before any refusal: a failed write may still have changed sectors.
    if (op == SectorOp::Write) writes++;
    int method = static_cast<int>(currentMethod);
    switch (source.kind) {
    case SourceKind::ImageFile: return transferImage(op, count, firstSector, buffer);
    case SourceKind::Disk:
        // Windows 95/98 offer no physical disk to a program.
        if (!usesNtRoute() || currentRoutes.diskTransfer == nullptr) return SECTOR_STATUS_FAILED;
        return currentRoutes.diskTransfer(op, source.number, count, firstSector, buffer);
    case SourceKind::Drive: break;
    default: return SECTOR_STATUS_FAILED;
    }
    if (usesNtRoute()) {
        if (op != SectorOp::Read && op != SectorOp::Write) return SECTOR_STATUS_FAILED;
        return currentRoutes.ntTransfer(op, source.number, count, firstSector, buffer);
    }
    // 0 is never classified, but behaves like the first Windows 95 release.
    if (method <= 1)
        return currentRoutes.absDiskTransfer(op, source.number, count, firstSector, buffer);
    return currentRoutes.extAbsDiskTransfer(op, source.number, count, firstSector, buffer);
}

uint64_t SectorIo::writeCount()
{
    return writes;
}

bool SectorIo::beginRun(SectorOp op, Source source, uint32_t sectorSize, bool lock)
{
    // The image file stays open while shown: a run needs no device of its own.
    bool isImage = source.kind == SourceKind::ImageFile;
    imageRun = isImage && image.file != nullptr && sectorSize == image.sectorSize;
    imageRunSectorSize = sectorSize;
    if (isImage) return imageRun;
    if (source.kind == SourceKind::Disk) {
        diskRun = usesNtRoute() && currentRoutes.beginDiskRun != nullptr &&
                  currentRoutes.beginDiskRun(op, source.number, sectorSize);
        return diskRun;
    }
    if (source.kind != SourceKind::Drive) return false;
    if (!usesNtRoute() || currentRoutes.beginNtRun == nullptr) return true;
    return currentRoutes.beginNtRun(op, source.number, sectorSize, lock || op == SectorOp::Write);
}

uint32_t SectorIo::runTransferBytes()
{
    return usesNtRoute() ? NT_RUN_TRANSFER_BYTES : IMAGE_BUFFER_SIZE;
}

void SectorIo::endRun(bool dismount)
{
    if (imageRun) {
        imageRun = false;
        return;
    }
    if (diskRun) {
        diskRun = false;
        currentRoutes.endDiskRun();
        return;
    }
    if (usesNtRoute() && currentRoutes.endNtRun != nullptr) currentRoutes.endNtRun(dismount);
}

bool SectorIo::queryDevice(Source source, uint32_t* sectorSize, uint64_t* sectorCount)
{
    if (source.kind == SourceKind::ImageFile) {
        *sectorSize = image.sectorSize;
        *sectorCount = image.length / image.sectorSize;
        return image.file != nullptr && *sectorCount != 0;
    }
    if (source.kind == SourceKind::Disk)
        return usesNtRoute() && currentRoutes.queryDisk != nullptr &&
               currentRoutes.queryDisk(source.number, sectorSize, sectorCount);
    if (source.kind != SourceKind::Drive || !usesNtRoute() ||
        currentRoutes.queryNtDevice == nullptr)
        return false;
    return currentRoutes.queryNtDevice(source.number, sectorSize, sectorCount);
}

SectorIo::ImageOpening SectorIo::openImage(const char* path)
{
    // A run reads the file it holds to its end, whatever asks meanwhile.
    if (imageRun) return ImageOpening::Unopened;
    // The file shown is let go first: opened again, it must not stand in
    // the way of its own writing. It comes back when the new one fails.
    ImageFile shown = image;
    closeImage();
    ImageOpening opening = openImageAt(path);
    if (opening != ImageOpening::Opened && shown.file != nullptr &&
        openImageAt(shown.path) == ImageOpening::Opened)
        image.sectorSize = shown.sectorSize;
    return opening;
}

void SectorIo::closeImage()
{
    if (imageRun) return;
    if (image.file != nullptr) currentRoutes.closeImage(image.file);
    image.file = nullptr;
}

void SectorIo::setImageSectorSize(uint32_t size)
{
    if (!imageRun) image.sectorSize = size;
}

uint64_t SectorIo::imageLength()
{
    return image.length;
}

bool SectorIo::isImageReadOnly()
{
    return image.readOnly;
}

const char* SectorIo::imagePath()
{
    return image.file == nullptr ? "" : image.path;
}
