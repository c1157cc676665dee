#pragma once
#include <cstdint>

#include "disk/sector_io.h"
#include "disk/sector_run.h"
#include "platform/messages.h"
#include "volume/boot_sector.h"
#include "volume/volume_info.h"

// The drive of an image run, as its volume query and boot sector give it.
struct ImageDrive {
    Source source;
    DriveSpace space;
    VolumeLayout layout;
    bool isNtfs;
    bool isRaw;  // no areas: only the whole device or sectors of the user's own
};

struct SectorRange {
    SectorNumber first;
    SectorNumber count;
};

// The areas of a FAT volume an image run can take.
enum class VolumeArea {
    WholeDrive,
    Ipl,
    Fat,
    Dir,
    Data,
};

// Where an area lies, as the layout gives it: the FAT area is the first FAT.
SectorRange areaRange(VolumeArea area, const VolumeLayout& layout);

// The user's own range starts as the partition shown, when the editor shows
// one: its first sector, and its count where the dialog asks for one (null:
// not asked). Otherwise the numbers of the last run stay.
void offerShownPartition(SectorNumber& start, SectorNumber* count);

// Takes the file field into lastFilePath; false (with the message) when
// empty or a device's.
bool takeImageFilePath(const char* fileText);

// Whether the file lies on the source's volume, or on a volume of its disk.
bool isFileOnSource(const char* path, Source source);

// An image of a drive kept on that drive (or of a disk on one of its
// volumes), or written back from it, would be read and written at once:
// refused, with the message shown.
bool isImageOnDrive(const char* path, Source source);

// Opens the chosen source (NO_SOURCE for none) as the editor does; false, with
// the message shown, when the drive cannot take a run.
bool queryImageDrive(Source source, ImageDrive& target);

// A run over one of the FAT areas (`area`) needs a FAT layout: on NTFS and on
// a raw volume it is refused, with the message shown.
bool isAreaRefused(const ImageDrive& target, bool area);

// How a run ended: the whole range done, stopped by the user, failed, or
// refused at a question before any write; `message` says which in words.
enum class RunOutcome {
    Done,
    Stopped,
    Failed,
    Refused,
};

struct RunResult {
    RunOutcome end;
    MessageId message;
    SectorNumber done;    // sectors moved before the end
    SectorNumber sector = 0;  // the sector a failure names, or the first a whole run did,
                              // where its text has a place for one
};

// A whole run's finished message, of `id`'s kind, worded in `text`: the bar
// full while it is up, then empty.
void showFinished(MessageId id, const char* text);

// Tells how the run ended, with a line of `detail` (null: none) under a stop
// or a failure: the bar full while the finished message is up, then empty.
void reportRunEnd(const RunResult& result, const char* detail);

// The first sector of a chunk whose read failed that cannot be read, found
// one sector at a time.
SectorNumber firstUnreadable(const ImageDrive& target, SectorNumber first, uint32_t count,
                             uint8_t* buffer);
