#include "volume/volume_info.h"

#include <cstring>

#include "disk/drive_root.h"
#include "disk/sector_io.h"
#include "platform/platform.h"
#include "volume/partition_table.h"

VolumeInfo volumeInfo;

namespace {

struct DeviceSize {
    uint32_t sectorSize;
    uint64_t sectorCount;
};

// A sector larger than the buffers is never read into them.
bool fitsSectorBuffer(uint32_t sectorSize)
{
    return sectorSize != 0 && sectorSize <= IMAGE_BUFFER_SIZE;
}

// A damaged boot sector's fields never decide which sectors exist, nor put
// an area where another one is.
bool fitsDevice(const VolumeLayout& layout, const DeviceSize& device)
{
    return layout.totalSectors != 0 && layout.totalSectors <= device.sectorCount &&
           layout.bytesPerSector == device.sectorSize &&
           (volumeInfo.isNtfs || layout.areasInOrder);
}

void openRaw(const DeviceSize& device, DriveSpace& space, VolumeLayout& layout)
{
    volumeInfo.isRaw = true;
    volumeInfo.isNtfs = false;
    space.bytesPerSector = device.sectorSize;
    layout = VolumeLayout{};
    layout.bytesPerSector = device.sectorSize;
    layout.totalSectors = device.sectorCount;
}

// The sector size a boot sector at the start of an image file gives: its
// bytes per sector when it is a FAT or NTFS boot sector (a jump first, or
// NTFS's name) with a size a volume has; otherwise 512.
uint32_t imageSectorSize(const uint8_t* sector)
{
    bool boot = sector[0] == 0xEB || sector[0] == 0xE9 || std::memcmp(sector + 3, "NTFS    ", 8) == 0;
    uint32_t size = uint32_t(sector[11] | sector[12] << 8);
    bool known = size == 512 || size == 1024 || size == 2048 || size == 4096;
    return boot && known ? size : 512;
}

// An image file has no system to ask: its boot sector and length say it all.
// A layout that does not fit the file opens raw, bounded by the file.
bool openImageVolume(DriveSpace& space, VolumeLayout& layout)
{
    volumeInfo = VolumeInfo{};
    alignas(SECTOR_BUFFER_ALIGNMENT) uint8_t sector[IMAGE_BUFFER_SIZE] = {};
    SectorIo::setImageSectorSize(512);
    if (SectorIo::transfer(SectorOp::Read, IMAGE_FILE_SOURCE, 1, 0, sector) != SECTOR_STATUS_OK)
        return false;
    volumeInfo.isNtfs = std::memcmp(sector + 3, "NTFS    ", 8) == 0;
    // A file shorter than one sector of the boot sector's size is no volume
    // of that size: it opens raw in 512-byte sectors.
    DeviceSize file = {imageSectorSize(sector), 0};
    // A whole disk's sectors are as large as its GPT or first volume says.
    if (isPartitionSector(sector))
        file.sectorSize = confirmDiskSectorSize(IMAGE_FILE_SOURCE, SectorIo::imageLength() / 512);
    if (SectorIo::imageLength() < file.sectorSize) file.sectorSize = 512;
    SectorIo::setImageSectorSize(file.sectorSize);
    file.sectorCount = SectorIo::imageLength() / file.sectorSize;
    layout = parseBootSector(sector, volumeInfo.isNtfs);
    space.bytesPerSector = file.sectorSize;
    if (!fitsDevice(layout, file)) openRaw(file, space, layout);
    return true;
}

// A physical disk has no volume the system reports: the device sizes it,
// and a volume starting at its sector 0 (a disk without partitions) gives
// the areas when it fits.
bool openDiskVolume(Source source, DriveSpace& space, VolumeLayout& layout)
{
    volumeInfo = VolumeInfo{};
    DeviceSize device{};
    if (!SectorIo::queryDevice(source, &device.sectorSize, &device.sectorCount)) return false;
    space.bytesPerSector = device.sectorSize;
    layout = VolumeLayout{};
    if (!fitsSectorBuffer(device.sectorSize)) return true;
    alignas(SECTOR_BUFFER_ALIGNMENT) uint8_t sector[IMAGE_BUFFER_SIZE] = {};
    if (SectorIo::transfer(SectorOp::Read, source, 1, 0, sector) != SECTOR_STATUS_OK) return false;
    volumeInfo.isNtfs = std::memcmp(sector + 3, "NTFS    ", 8) == 0;
    layout = parseBootSector(sector, volumeInfo.isNtfs);
    if (!fitsDevice(layout, device)) openRaw(device, space, layout);
    return true;
}

}  // namespace

// Cleared first: a failed query must not leave another drive's label or file
// system behind, and so decide where this drive's areas are.
bool readVolumeInfo(int drive, VolumeInfo& info)
{
    info = VolumeInfo{};
    bool read = platform.getVolumeInformation(
        driveRoot(drive).path, info.volumeName, VOLUME_TEXT_SIZE, &info.serialNumber,
        &info.maxComponentLength, &info.fileSystemFlags, info.fileSystemName, VOLUME_TEXT_SIZE);
    if (!read) info = VolumeInfo{};
    info.volumeName[VOLUME_TEXT_SIZE - 1] = '\0';
    info.fileSystemName[VOLUME_TEXT_SIZE - 1] = '\0';
    info.isNtfs = std::strcmp(info.fileSystemName, "NTFS") == 0;
    return read;
}

bool queryVolumeInfo(int drive, DriveSpace& space)
{
    const DriveRoot root = driveRoot(drive);
    readVolumeInfo(drive, volumeInfo);

    if (!platform.getDiskFreeSpace(root.path, &space.sectorsPerCluster, &space.bytesPerSector,
                                   &space.freeClusters, &space.totalClusters))
        return false;
    space.totalBytes32 = space.bytesPerSector * space.totalClusters * space.sectorsPerCluster;
    space.freeBytes32 = space.bytesPerSector * space.sectorsPerCluster * space.freeClusters;
    space.freeBytesAvailable = 0;
    space.totalBytes = 0;
    space.totalFreeBytes = 0;
    platform.getDiskFreeSpaceEx(root.path, &space.freeBytesAvailable, &space.totalBytes,
                                &space.totalFreeBytes);
    return true;
}

bool openVolume(Source source, DriveSpace& space, VolumeLayout& layout)
{
    space = DriveSpace{};  // no figures of another drive stay behind
    if (source.kind == SourceKind::ImageFile) return openImageVolume(space, layout);
    if (source.kind == SourceKind::Disk) return openDiskVolume(source, space, layout);
    bool known = queryVolumeInfo(source.number, space);
    DeviceSize device{};
    bool hasDevice = SectorIo::queryDevice(source, &device.sectorSize, &device.sectorCount);
    if (!known && !hasDevice) return false;
    layout = VolumeLayout{};
    // Every transfer moves whole device sectors: one larger than the buffers
    // is never read into them, and the callers refuse the drive by its size.
    if (hasDevice && !fitsSectorBuffer(device.sectorSize)) {
        space.bytesPerSector = device.sectorSize;
        return true;
    }
    bool readable = fitsSectorBuffer(space.bytesPerSector);
    if (known && readable) readVolumeLayout(source, layout);
    if (!hasDevice) {
        // Without a device to size it, the boot sector's count bounds it.
        if (known && readable && !volumeInfo.isNtfs && !layout.areasInOrder)
            openRaw({space.bytesPerSector, layout.totalSectors}, space, layout);
        return true;
    }
    if (!known || (readable && !fitsDevice(layout, device))) openRaw(device, space, layout);
    return true;
}

void readVolumeLayout(Source source, VolumeLayout& layout)
{
    alignas(SECTOR_BUFFER_ALIGNMENT) uint8_t sector[IMAGE_BUFFER_SIZE] = {};
    if (SectorIo::transfer(SectorOp::Read, source, 1, 0, sector) != SECTOR_STATUS_OK) {
        layout = VolumeLayout{};
        return;
    }
    layout = parseBootSector(sector, volumeInfo.isNtfs);
}
