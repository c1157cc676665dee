#pragma once
#include <cstdint>

// What sectors are read from: a drive letter's volume, a whole physical disk
// (Windows NT and later), or the image file opened as one.
enum class SourceKind : int32_t {
    None,
    Drive,
    Disk,
    ImageFile,
};

// `number` is the drive index (0 = A) of a Drive, the N of a Disk's
// \\.\PhysicalDriveN; an image file is the one open in the sector I/O.
struct Source {
    SourceKind kind;
    int32_t number;
};

constexpr Source NO_SOURCE = {SourceKind::None, -1};
constexpr Source IMAGE_FILE_SOURCE = {SourceKind::ImageFile, 0};
// The physical disks looked for: \\.\PhysicalDrive0 to 31.
constexpr int32_t PHYSICAL_DISK_COUNT = 32;

constexpr Source driveSource(int32_t drive)
{
    return {SourceKind::Drive, drive};
}

constexpr Source diskSource(int32_t disk)
{
    return {SourceKind::Disk, disk};
}

constexpr bool operator==(Source a, Source b)
{
    return a.kind == b.kind && a.number == b.number;
}

constexpr bool operator!=(Source a, Source b)
{
    return !(a == b);
}
