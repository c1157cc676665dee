#include "volume/volume_info.h"

#include <cstring>

#include "disk/drive_root.h"
#include "disk/sector_io.h"
#include "platform/platform.h"

VolumeInfo volumeInfo;

namespace {

// Cleared first: a failed query must not leave another drive's label or file
// system behind, and so decide where this drive's areas are.
void refreshVolumeInfo(const char* root)
{
    volumeInfo = VolumeInfo{};
    platform.getVolumeInformation(root, volumeInfo.volumeName, VOLUME_TEXT_SIZE,
                                  &volumeInfo.serialNumber, &volumeInfo.maxComponentLength,
                                  &volumeInfo.fileSystemFlags, volumeInfo.fileSystemName,
                                  VOLUME_TEXT_SIZE);
    volumeInfo.volumeName[VOLUME_TEXT_SIZE - 1] = '\0';
    volumeInfo.fileSystemName[VOLUME_TEXT_SIZE - 1] = '\0';
    volumeInfo.isNtfs = std::strcmp(volumeInfo.fileSystemName, "NTFS") == 0;
}

}  // namespace

bool queryVolumeInfo(int drive, DriveSpace& space)
{
    const DriveRoot root = driveRoot(drive);
    refreshVolumeInfo(root.path);

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

void readVolumeLayout(int drive, VolumeLayout& layout)
{
    uint8_t sector[IMAGE_BUFFER_SIZE] = {};
    if (SectorIo::transfer(SectorOp::Read, drive, 1, 0, sector) != SECTOR_STATUS_OK) {
        layout = VolumeLayout{};
        return;
    }
    layout = parseBootSector(sector, volumeInfo.isNtfs);
}
