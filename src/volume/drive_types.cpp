#include "volume/drive_types.h"

#include <cctype>
#include <cstdio>
#include <cstring>

#include "disk/drive_root.h"
#include "disk/physical_disk.h"
#include "platform/platform.h"

uint8_t supportedDrives[DRIVE_COUNT];

namespace {

const char DISK_CHOICE_PREFIX[] = "ﾃﾞｨｽｸ";

// Its size in the largest unit that keeps three figures, and its sector size.
void formatDiskChoice(const PhysicalDisk& disk, char* entry)
{
    uint64_t bytes = disk.sectorCount * disk.sectorSize;
    const char* unit = "MB";
    uint64_t amount = bytes >> 20;
    if (amount >= 10000) {
        amount = bytes >> 30;
        unit = "GB";
    }
    std::snprintf(entry, SOURCE_CHOICE_SIZE, "%s%d  %llu %s  %luﾊﾞｲﾄ", DISK_CHOICE_PREFIX,
                  int(disk.number), (unsigned long long)amount, unit,
                  (unsigned long)disk.sectorSize);
}

unsigned driveType(int drive)
{
    return platform.getDriveType(driveRoot(drive).path);
}

}  // namespace

const char* driveTypeLabel(unsigned type)
{
    switch (type) {
    case DRIVE_TYPE_NO_ROOT_DIR: return "--------";
    case DRIVE_TYPE_REMOVABLE: return "Removable";
    case DRIVE_TYPE_FIXED: return "Hard Disk";
    case DRIVE_TYPE_REMOTE: return "Net Work";
    case DRIVE_TYPE_CDROM: return "CD-ROM";
    case DRIVE_TYPE_RAMDISK: return "RAM Disk";
    default: return "????????";
    }
}

bool isEditableDriveType(unsigned type)
{
    return type == DRIVE_TYPE_REMOVABLE || type == DRIVE_TYPE_FIXED || type == DRIVE_TYPE_RAMDISK;
}

const char* driveTypeName(int drive)
{
    return driveTypeLabel(driveType(drive));
}

bool isSupportedDrive(int drive)
{
    return drive >= 0 && drive < DRIVE_COUNT && isEditableDriveType(driveType(drive));
}

void refreshSupportedDrives()
{
    for (int drive = 0; drive < DRIVE_COUNT; drive++)
        supportedDrives[drive] = isEditableDriveType(driveType(drive)) ? 1 : 0;
}

DriveChoices listDriveChoices(Source current)
{
    refreshSupportedDrives();
    DriveChoices choices{};
    choices.selected = -1;
    for (int drive = 0; drive < DRIVE_COUNT; drive++) {
        if (!supportedDrives[drive]) continue;
        if (driveSource(drive) == current) choices.selected = choices.count;
        std::snprintf(choices.entries[choices.count++], SOURCE_CHOICE_SIZE, "%c:", 'A' + drive);
    }
    PhysicalDisk disks[PHYSICAL_DISK_COUNT];
    int32_t diskCount = findPhysicalDisks(disks);
    for (int32_t k = 0; k < diskCount; k++) {
        if (diskSource(disks[k].number) == current) choices.selected = choices.count;
        formatDiskChoice(disks[k], choices.entries[choices.count++]);
    }
    return choices;
}

Source sourceFromChoice(const char* entry)
{
    size_t prefix = std::strlen(DISK_CHOICE_PREFIX);
    if (std::strncmp(entry, DISK_CHOICE_PREFIX, prefix) == 0) {
        int disk = 0;
        const char* c = entry + prefix;
        if (!std::isdigit(static_cast<unsigned char>(*c))) return NO_SOURCE;
        for (; std::isdigit(static_cast<unsigned char>(*c)) && disk < PHYSICAL_DISK_COUNT; c++)
            disk = disk * 10 + (*c - '0');
        return disk < PHYSICAL_DISK_COUNT ? diskSource(disk) : NO_SOURCE;
    }
    int drive = std::toupper(static_cast<unsigned char>(entry[0])) - 'A';
    return drive >= 0 && drive < DRIVE_COUNT ? driveSource(drive) : NO_SOURCE;
}
