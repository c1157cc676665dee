#pragma once
#include <cstdint>

#include "disk/access_method.h"
#include "disk/source.h"

// A sector number counted from the volume's first sector: 64 bits, as
// drives past 2 TiB of 512-byte sectors need.
using SectorNumber = uint64_t;

// The VWIN32 control codes for INT 25h and INT 26h, passed through unchanged.
enum class SectorOp : int {
    Read = 2,
    Write = 3,
};

// A route moves `count` sectors from `firstSector` of `drive` (0 = A) and
// returns 0 when every byte was transferred, nonzero otherwise.
using SectorRoute = int (*)(SectorOp op, int drive, uint32_t count, SectorNumber firstSector,
                            void* buffer);

// A run holds `drive` open for many transfers: opened once (and locked when
// `lock`), every transfer of that drive on the one handle until the run ends.
// False when the device cannot be opened or its sectors are not `sectorSize`
// bytes.
using RunBegin = bool (*)(SectorOp op, int drive, uint32_t sectorSize, bool lock);
// Ends the run; `dismount` makes the file system read the volume afresh.
using RunEnd = void (*)(bool dismount);

// Opens the image file at `path`: its handle (null when it cannot be
// opened), its length, and whether it can only be read.
using ImageOpen = void* (*)(const char* path, uint64_t* length, bool* readOnly);
using ImageClose = void (*)(void* file);
// Moves `bytes` bytes at byte `offset` of the image file: 0 when every byte
// moved, nonzero otherwise.
using ImageTransfer = int (*)(void* file, SectorOp op, uint64_t offset, uint32_t bytes,
                              void* buffer);

// The size of `drive`'s device as the device itself answers it, whatever its
// file system: false when the device cannot be opened or has no sectors.
using DeviceQuery = bool (*)(int drive, uint32_t* sectorSize, uint64_t* sectorCount);

// A physical disk held for a run, and let go.
using DiskRunBegin = bool (*)(SectorOp op, int disk, uint32_t sectorSize);
using DiskRunEnd = void (*)();

// The seam between the dispatcher and the operating system. A route without
// runs (null) goes on per transfer; one without a device query knows only
// volumes the system can read; one without physical disks has none.
struct SectorRoutes {
    SectorRoute ntTransfer;
    SectorRoute absDiskTransfer;
    SectorRoute extAbsDiskTransfer;
    RunBegin beginNtRun;
    RunEnd endNtRun;
    DeviceQuery queryNtDevice;
    ImageOpen openImage;
    ImageClose closeImage;
    ImageTransfer imageTransfer;
    SectorRoute diskTransfer;
    DiskRunBegin beginDiskRun;
    DiskRunEnd endDiskRun;
    DeviceQuery queryDisk;
};

// The size of the editor's sector buffers and of every transfer buffer.
constexpr uint32_t IMAGE_BUFFER_SIZE = 18432;
// Volume devices may refuse a buffer that does not start on a sector
// boundary of memory: every transfer buffer is aligned to the largest
// logical sector such devices have.
constexpr uint32_t SECTOR_BUFFER_ALIGNMENT = 4096;
// What one transfer of an image run moves at most on the NT route: large
// enough that a run goes at the device's speed. INT 25h/26h take no more
// than IMAGE_BUFFER_SIZE.
constexpr uint32_t NT_RUN_TRANSFER_BYTES = 1 << 20;

constexpr int SECTOR_STATUS_OK = 0;
constexpr int SECTOR_STATUS_FAILED = 1;

namespace SectorIo {
void setMethod(AccessMethod method);
AccessMethod method();
void setRoutes(const SectorRoutes& routes);
int transfer(SectorOp op, Source source, uint32_t count, SectorNumber firstSector, void* buffer);
// Writes asked of any source so far, done or not: what was read before may have changed since.
uint64_t writeCount();
// For a run of transfers of one source (a drive image): `op` Write when any of
// them writes (and so locks); a read-only run locks only when `lock` asks.
// Outside a run each transfer opens and closes the device.
bool beginRun(SectorOp op, Source source, uint32_t sectorSize, bool lock);
// The most bytes one transfer of a run may move on the route in use.
uint32_t runTransferBytes();
void endRun(bool dismount);
bool queryDevice(Source source, uint32_t* sectorSize, uint64_t* sectorCount);
// The image file source: opened in place of the last, which stays when the
// new one cannot be opened or is shorter than a sector; its sectors of
// `size` bytes, and whether it can only be read. While a run holds it, it is
// neither replaced, closed nor resized.
enum class ImageOpening {
    Opened,
    Unopened,
    TooShort,
};
ImageOpening openImage(const char* path);
void closeImage();
void setImageSectorSize(uint32_t size);
uint64_t imageLength();
bool isImageReadOnly();
// The path the image file was opened by; empty while none is open.
const char* imagePath();
}
