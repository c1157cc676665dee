#include "disk/sector_io.h"

namespace {

int noRoute(SectorOp, int, uint32_t, SectorNumber, void*)
{
    return SECTOR_STATUS_FAILED;
}

AccessMethod currentMethod = AccessMethod::Unsupported;
SectorRoutes currentRoutes = {noRoute, noRoute, noRoute, nullptr, nullptr, nullptr};

bool usesNtRoute()
{
    return static_cast<int>(currentMethod) < 0;
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

int SectorIo::transfer(SectorOp op, int drive, uint32_t count, SectorNumber firstSector,
                       void* buffer)
{
    int method = static_cast<int>(currentMethod);
    if (usesNtRoute()) {
        if (op != SectorOp::Read && op != SectorOp::Write) return SECTOR_STATUS_FAILED;
        return currentRoutes.ntTransfer(op, drive, count, firstSector, buffer);
    }
    // 0 is never classified, but behaves like the first Windows 95 release.
    if (method <= 1) return currentRoutes.absDiskTransfer(op, drive, count, firstSector, buffer);
    return currentRoutes.extAbsDiskTransfer(op, drive, count, firstSector, buffer);
}

bool SectorIo::beginRun(SectorOp op, int drive, uint32_t sectorSize, bool lock)
{
    if (!usesNtRoute() || currentRoutes.beginNtRun == nullptr) return true;
    return currentRoutes.beginNtRun(op, drive, sectorSize, lock || op == SectorOp::Write);
}

uint32_t SectorIo::runTransferBytes()
{
    return usesNtRoute() ? NT_RUN_TRANSFER_BYTES : IMAGE_BUFFER_SIZE;
}

void SectorIo::endRun(bool dismount)
{
    if (usesNtRoute() && currentRoutes.endNtRun != nullptr) currentRoutes.endNtRun(dismount);
}

bool SectorIo::queryDevice(int drive, uint32_t* sectorSize, uint64_t* sectorCount)
{
    if (!usesNtRoute() || currentRoutes.queryNtDevice == nullptr) return false;
    return currentRoutes.queryNtDevice(drive, sectorSize, sectorCount);
}
