#pragma once
#include <cstdint>

#include "disk/source.h"
#include "volume/boot_sector.h"

// MAX_PATH + 1: a label of 32 double-byte characters takes 65 bytes with its end.
constexpr uint32_t VOLUME_TEXT_SIZE = 261;

// What the system reported about the volume most recently queried, by any caller.
struct VolumeInfo {
    char volumeName[VOLUME_TEXT_SIZE];
    uint32_t serialNumber;
    uint32_t maxComponentLength;
    uint32_t fileSystemFlags;
    char fileSystemName[VOLUME_TEXT_SIZE];
    bool isNtfs;
    bool isRaw;  // opened by its device alone: no file system, no areas
};

extern VolumeInfo volumeInfo;

// A caller's own record of a drive's sector size and space.
struct DriveSpace {
    uint32_t bytesPerSector;
    uint32_t sectorsPerCluster;
    uint32_t totalClusters;
    uint32_t freeClusters;
    uint32_t totalBytes32;  // wraps at 4 GiB
    uint32_t freeBytes32;
    uint64_t freeBytesAvailable;  // 0 where the extended query is missing
    uint64_t totalBytes;
    uint64_t totalFreeBytes;
};

// A drive's volume facts as the system reports them now; all cleared when
// it cannot read the volume.
bool readVolumeInfo(int drive, VolumeInfo& info);

// Refreshes `volumeInfo`, then fills `space`.
// False when the system reports no free-space figures for the drive.
bool queryVolumeInfo(int drive, DriveSpace& space);

// The source's figures for the editor and the image runs. A volume the
// system cannot read, or whose boot sector does not fit its device, opens
// raw: its sector size and count come from the device, it has no areas, and
// `volumeInfo.isRaw` is set; so does a whole disk whose sector 0 holds a
// partition table. False when neither the system nor the device answers.
bool openVolume(Source source, DriveSpace& space, VolumeLayout& layout);

// Reads sector 0 and parses it with the NTFS flag of the last query, so call
// queryVolumeInfo for the same drive first. A failed read gives an all-zero layout.
void readVolumeLayout(Source source, VolumeLayout& layout);
