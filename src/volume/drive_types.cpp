#include "volume/drive_types.h"

#include <cctype>
#include <cstdio>

#include "disk/drive_root.h"
#include "platform/platform.h"

uint8_t supportedDrives[DRIVE_COUNT];

namespace {

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

DriveChoices listDriveChoices(int currentDrive)
{
    refreshSupportedDrives();
    DriveChoices choices{};
    choices.selected = -1;
    for (int drive = 0; drive < DRIVE_COUNT; drive++) {
        if (!supportedDrives[drive]) continue;
        if (drive == currentDrive) choices.selected = choices.count;
        std::snprintf(choices.entries[choices.count++], 3, "%c:", 'A' + drive);
    }
    return choices;
}

int driveFromChoice(const char* entry)
{
    int drive = std::toupper(static_cast<unsigned char>(entry[0])) - 'A';
    return drive >= 0 && drive < DRIVE_COUNT ? drive : -1;
}
