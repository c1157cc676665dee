#pragma once

// Windows NT and later: points the physical disks at \\.\PhysicalDriveN.
void installDiskDevice();
