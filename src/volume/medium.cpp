#include "volume/medium.h"

#include <cstdio>
#include <cstring>

#include "disk/drive_root.h"
#include "disk/sector_io.h"
#include "platform/little_endian.h"
#include "platform/platform.h"
#include "volume/boot_sector.h"
#include "volume/volume_info.h"

namespace {

// The device's answer; where there is none (Windows 95/98), the system's
// sector size, and a count the boot sector gives once it is read.
bool learnSize(Source source, MediumIdentity& medium)
{
    uint64_t sectors = 0;
    if (SectorIo::queryDevice(source, &medium.sectorSize, &sectors)) {
        medium.bytes = source.kind == SourceKind::ImageFile ? SectorIo::imageLength()
                                                            : sectors * medium.sectorSize;
        return true;
    }
    uint32_t perCluster = 0, freeClusters = 0, clusters = 0;
    return source.kind == SourceKind::Drive &&
           platform.getDiskFreeSpace(driveRoot(source.number).path, &perCluster,
                                     &medium.sectorSize, &freeClusters, &clusters) &&
           medium.sectorSize != 0;
}

// A partitioned disk has no boot sector to say which it is; its table's
// signature (bytes 440 to 443) does.
bool readDiskSignature(const uint8_t* sector, uint64_t& serial)
{
    if (sector[510] != 0x55 || sector[511] != 0xAA) return false;
    serial = read32(sector + 440);
    return true;
}

}  // namespace

bool identifyMedium(Source source, const uint8_t* newBootSector, MediumIdentity& medium)
{
    medium = MediumIdentity{};
    if (!learnSize(source, medium)) return false;
    alignas(SECTOR_BUFFER_ALIGNMENT) uint8_t sector[IMAGE_BUFFER_SIZE];
    const uint8_t* boot = newBootSector;
    if (boot == nullptr && medium.sectorSize <= IMAGE_BUFFER_SIZE &&
        SectorIo::transfer(SectorOp::Read, source, 1, 0, sector) == SECTOR_STATUS_OK)
        boot = sector;
    char bootLabel[BOOT_LABEL_SIZE] = "";
    bool serialInBoot = boot != nullptr && readBootSerial(boot, medium.serialNumber, bootLabel);
    std::snprintf(medium.label, sizeof medium.label, "%s", bootLabel);
    if (source.kind == SourceKind::ImageFile)
        std::snprintf(medium.path, sizeof medium.path, "%s", SectorIo::imagePath());
    if (source.kind != SourceKind::Drive) {
        if (!serialInBoot && boot != nullptr) readDiskSignature(boot, medium.serialNumber);
        return true;
    }
    VolumeInfo system;
    readVolumeInfo(source.number, system);
    if (!serialInBoot) {
        medium.serialNumber = system.serialNumber;
        std::snprintf(medium.label, sizeof medium.label, "%.*s", int(MEDIUM_LABEL_SIZE - 1),
                      system.volumeName);
    }
    if (medium.bytes == 0 && boot != nullptr)
        medium.bytes = parseBootSector(boot, system.isNtfs).totalSectors * medium.sectorSize;
    return true;
}

bool isSameMedium(const MediumIdentity& a, const MediumIdentity& b)
{
    return a.serialNumber == b.serialNumber && a.bytes == b.bytes &&
           a.sectorSize == b.sectorSize && std::strcmp(a.label, b.label) == 0 &&
           std::strcmp(a.path, b.path) == 0;
}

void nameMedium(Source source, const char* path, const char* label, char* text, size_t size)
{
    // 0x82 0x60 + n is the full-width capital letter n of Shift-JIS.
    int at = source.kind == SourceKind::ImageFile ? std::snprintf(text, size, "%s", path)
             : source.kind == SourceKind::Disk
                 ? std::snprintf(text, size, "ディスク%d", int(source.number))
                 : std::snprintf(text, size, "%c%cドライブ", 0x82, 0x60 + source.number);
    if (label != nullptr && label[0] != '\0' && at > 0 && size_t(at) < size)
        std::snprintf(text + at, size - at, "（%s）", label);
}
