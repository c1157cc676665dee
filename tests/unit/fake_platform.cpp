#include "fake_platform.h"

#include <cstdlib>
#include <cstring>

#include "app/commands.h"
#include "app/platform.h"
#include "app/settings.h"
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

unsigned fakeGetDriveType(const char* root)
{
    return fake.driveTypes[root[0] - 'A'];
}

void fakeGetModuleFileName(char* path, uint32_t size)
{
    copyText(path, size, fake.modulePath);
}

// As the Win32 reader: the leading digits count, anything else reads 0.
int32_t fakeGetProfileInt(const char* section, const char* key, int32_t defaultValue,
                          const char*)
{
    fake.profileReads.push_back(key);
    auto value = fake.profile.find(std::string(section) + "/" + key);
    if (value == fake.profile.end()) return defaultValue;
    return int32_t(std::strtol(value->second.c_str(), nullptr, 10));
}

void fakeWriteProfileString(const char* section, const char* key, const char* value,
                            const char* path)
{
    fake.profileWrites.push_back({section, key, value, path});
    fake.profile[std::string(section) + "/" + key] = value;
}

void fakeGetMainWindowRect(int32_t* left, int32_t* top, int32_t* right, int32_t* bottom)
{
    *left = fake.window[0];
    *top = fake.window[1];
    *right = fake.window[2];
    *bottom = fake.window[3];
}

}  // namespace

void installFakePlatform()
{
    fake = FakePlatform{};
    platform = {fakeMessageBox,        fakeIsInBuiltinGroup,   fakeGetVolumeInformation,
                fakeGetDiskFreeSpace,  fakeGetDiskFreeSpaceEx, fakeGetDriveType,
                fakeGetModuleFileName, fakeGetProfileInt,      fakeWriteProfileString,
                fakeGetMainWindowRect};
    settings = Settings{};
    volumeInfo = VolumeInfo{};
    resetCommandStates();
    ImageRoute::reset();
    SectorIo::setRoutes(ImageRoute::routes());
    SectorIo::setMethod(AccessMethod::WinNt5);
}
