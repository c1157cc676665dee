#pragma once
#include <cstdint>

#include "disk/sector_io.h"
#include "platform/messages.h"
#include "volume/boot_sector.h"
#include "volume/volume_info.h"

// Sectors per transfer of a run of `count` sectors: the largest divisor of
// `count` that fits the transfer buffer, so every transfer moves the same
// number and the last one ends at the range's end. A prime count above the
// buffer's limit moves one sector at a time. Never 0.
uint32_t transferChunk(SectorNumber count, uint32_t bytesPerSector);

// The drive of an image run, as its volume query and boot sector give it.
struct ImageDrive {
    int drive;
    DriveSpace space;
    VolumeLayout layout;
    bool isNtfs;
    bool isRaw;  // no areas: only the whole device or sectors of the user's own
};

// Takes the file field into lastFilePath; false (with the message) when empty.
bool takeImageFilePath(const char* fileText);

// An image of a drive kept on that drive, or written back from it, would be
// read and written at once: refused, with the message shown.
bool isImageOnDrive(const char* path, int drive);

// Opens the chosen drive (-1 for none) as the editor does; false, with
// the message shown, when the drive cannot take a run.
bool queryImageDrive(int drive, ImageDrive& target);

// A run over one of the FAT areas (`area`) needs a FAT layout: on NTFS and on
// a raw volume it is refused, with the message shown.
bool isAreaRefused(const ImageDrive& target, bool area);

// The whole percentage of a run, exact for runs of any length; the bar
// changes only when it does.
struct RunProgress {
    int shown = -1;
};
void showRunProgress(RunProgress& progress, SectorNumber done, SectorNumber count);

// How a run ended: the whole range done, stopped by the user, failed (for
// the reason `error` names), or refused at a question before any write.
enum class RunOutcome {
    Done,
    Stopped,
    Failed,
    Refused,
};

struct RunResult {
    RunOutcome end;
    MessageId error;
    SectorNumber done;  // sectors moved before the end
};

// Tells how the run ended, with a line of `detail` (null: none) under a stop
// or a failure: the bar full while the finished message is up, then empty.
void reportRunEnd(const RunResult& result, const char* detail);
