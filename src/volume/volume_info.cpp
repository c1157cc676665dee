#include "volume/volume_info.h"

#include <cstring>

#include "app/commands.h"
#include "app/platform.h"
#include "disk/sector_io.h"
#include "volume/drive_types.h"

VolumeInfo volumeInfo;

namespace {

// The area commands make no sense on NTFS, which has no FAT areas.
constexpr int NTFS_DISABLED_COMMANDS[] = {
    CMD_JUMP_IPL, CMD_JUMP_FAT, CMD_JUMP_DIR, CMD_JUMP_DATA, CMD_JUMP_CLUSTER,
};

void refreshVolumeInfo(const char* root)
{
    volumeInfo.volumeName[0] = '\0';
    platform.getVolumeInformation(root, volumeInfo.volumeName, VOLUME_TEXT_SIZE,
                                  &volumeInfo.serialNumber, &volumeInfo.maxComponentLength,
                                  &volumeInfo.fileSystemFlags, volumeInfo.fileSystemName,
                                  VOLUME_TEXT_SIZE);
    volumeInfo.volumeName[VOLUME_TEXT_SIZE - 1] = '\0';
    volumeInfo.fileSystemName[VOLUME_TEXT_SIZE - 1] = '\0';
    // A failed query leaves the previous name, and so the previous answer.
    volumeInfo.isNtfs = std::strcmp(volumeInfo.fileSystemName, "NTFS") == 0;
    for (int id : NTFS_DISABLED_COMMANDS) setCommandEnabled(id, !volumeInfo.isNtfs);
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
