#pragma once

// "%c:\\" for a drive index, as the volume and drive queries take it.
struct DriveRoot {
    char path[4];
};

inline DriveRoot driveRoot(int drive)
{
    return {{char('A' + drive), ':', '\\', '\0'}};
}
