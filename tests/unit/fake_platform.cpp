#include "fake_platform.h"

#include <cstring>

#include "app/commands.h"
#include "app/platform.h"
#include "disk/sector_io.h"
#include "image_route.h"
#include "volume/volume_info.h"

FakePlatform fake;

namespace {

int fakeMessageBox(const char* text, const char* caption, unsigned style)
{
    fake.boxes.push_back({text, caption, style});
    if (fake.answers.empty()) return 0;
    int answer = fake.answers.front();
    fake.answers.pop_front();
    return answer;
}

int fakeIsInBuiltinGroup(uint32_t rid)
{
    fake.adminChecks.push_back(rid);
    return fake.adminCheck;
}

void copyText(char* to, uint32_t size, const std::string& from)
{
    std::strncpy(to, from.c_str(), size - 1);
    to[size - 1] = '\0';
}

void fakeGetVolumeInformation(const char* root, char* volumeName, uint32_t volumeNameSize,
                          uint32_t* serialNumber, uint32_t* maxComponentLength,
                          uint32_t* fileSystemFlags, char* fileSystemName,
                          uint32_t fileSystemNameSize)
{
    fake.queriedRoots.push_back(root);
    if (!fake.volume.present) return;
    copyText(volumeName, volumeNameSize, fake.volume.label);
    copyText(fileSystemName, fileSystemNameSize, fake.volume.fileSystem);
    *serialNumber = fake.volume.serialNumber;
    *maxComponentLength = 255;
    *fileSystemFlags = 0;
}

bool fakeGetDiskFreeSpace(const char*, uint32_t* sectorsPerCluster, uint32_t* bytesPerSector,
                      uint32_t* freeClusters, uint32_t* totalClusters)
{
    if (!fake.volume.freeSpaceOk) return false;
    *sectorsPerCluster = fake.volume.sectorsPerCluster;
    *bytesPerSector = fake.volume.bytesPerSector;
    *freeClusters = fake.volume.freeClusters;
    *totalClusters = fake.volume.totalClusters;
    return true;
}

void fakeGetDiskFreeSpaceEx(const char*, uint64_t* freeBytesAvailable, uint64_t* totalBytes,
                        uint64_t* totalFreeBytes)
{
    if (!fake.volume.hasExtendedQuery) return;
    *freeBytesAvailable = fake.volume.freeBytesAvailable;
    *totalBytes = fake.volume.totalBytes;
    *totalFreeBytes = fake.volume.totalFreeBytes;
}

}  // namespace

void installFakePlatform()
{
    fake = FakePlatform{};
    platform = {fakeMessageBox, fakeIsInBuiltinGroup, fakeGetVolumeInformation,
                fakeGetDiskFreeSpace, fakeGetDiskFreeSpaceEx};
    volumeInfo = VolumeInfo{};
    resetCommandStates();
    ImageRoute::reset();
    SectorIo::setRoutes(ImageRoute::routes());
    SectorIo::setMethod(AccessMethod::WinNt5);
}
