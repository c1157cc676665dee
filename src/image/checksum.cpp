#include "image/checksum.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "disk/sector_run.h"
#include "editor/editor_state.h"
#include "editor/selection.h"
#include "image/drive_image.h"
#include "platform/crc32.h"
#include "platform/files.h"
#include "platform/messages.h"
#include "platform/platform.h"
#include "volume/volume_info.h"

SectorNumber checksumStart = 0;
SectorNumber checksumCount = 1;
char checksumText[CHECKSUM_TEXT_SIZE];

namespace {

constexpr int DIGEST_COUNT = 3;
const DigestKind DIGEST_KINDS[DIGEST_COUNT] = {DigestKind::Md5, DigestKind::Sha1,
                                               DigestKind::Sha256};
const uint32_t DIGEST_SIZES[DIGEST_COUNT] = {16, 20, 32};
const char* const DIGEST_NAMES[DIGEST_COUNT] = {"MD5", "SHA-1", "SHA-256"};
constexpr uint32_t DIGEST_SIZE_MAX = 32;
constexpr uint32_t NAME_SIZE = 96;
constexpr uint32_t MEDIUM_NAME_SIZE = 48;  // and two sector numbers of 20 digits

const char UNAVAILABLE[] = "このシステムでは使えません";
const char NOT_COMPUTED[] = "計算できませんでした";
// Bytes shown with edits not written are not the disk's: said above the sums.
const char EDITED_LINE[] = "# 書き込んでいない編集を含みます\r\n";

// One pass over the bytes: the CRC-32 of the program's own, and the digests
// the system has. A digest that fails on the way is let go at once: what it
// would end with is no digest of these bytes.
struct ChecksumPass {
    uint32_t crc;
    void* digests[DIGEST_COUNT];
    bool offered[DIGEST_COUNT];
};

void beginPass(ChecksumPass& pass)
{
    pass.crc = 0;
    for (int k = 0; k < DIGEST_COUNT; k++) {
        pass.digests[k] = platform.beginDigest(DIGEST_KINDS[k]);
        pass.offered[k] = pass.digests[k] != nullptr;
    }
}

void addToPass(ChecksumPass& pass, const uint8_t* bytes, uint32_t size)
{
    pass.crc = crc32(pass.crc, bytes, size);
    for (void*& digest : pass.digests) {
        if (digest == nullptr || platform.addToDigest(digest, bytes, size)) continue;
        platform.endDigest(digest, nullptr, 0);
        digest = nullptr;
    }
}

// A pass that ends without a result lets its digests go.
void dropPass(ChecksumPass& pass)
{
    for (void*& digest : pass.digests) {
        if (digest != nullptr) platform.endDigest(digest, nullptr, 0);
        digest = nullptr;
    }
}

// Appends to `text` as far as it holds.
void addText(char* text, const char* part)
{
    size_t at = std::strlen(text);
    std::snprintf(text + at, CHECKSUM_TEXT_SIZE - at, "%s", part);
}

// A comment line naming the sum, and its line as sha256sum prints it; or
// why there is none.
void addSum(char* text, const char* algorithm, const char* hex, const char* why,
            const char* name)
{
    char lines[256];
    if (hex != nullptr)
        std::snprintf(lines, sizeof lines, "# %s\r\n%s  %s\r\n", algorithm, hex, name);
    else
        std::snprintf(lines, sizeof lines, "# %s\r\n%s\r\n", algorithm, why);
    addText(text, lines);
}

void toHex(const uint8_t* bytes, uint32_t size, char* hex)
{
    for (uint32_t i = 0; i < size; i++) std::snprintf(hex + 2 * i, 3, "%02x", bytes[i]);
}

// Ends the pass into the result for bytes a file named `name` would hold.
void endPass(ChecksumPass& pass, const char* name, bool edited, char* text)
{
    text[0] = '\0';
    if (edited) addText(text, EDITED_LINE);
    char hex[2 * DIGEST_SIZE_MAX + 1];
    std::snprintf(hex, sizeof hex, "%08lx", (unsigned long)pass.crc);
    addSum(text, "CRC-32", hex, nullptr, name);
    for (int k = 0; k < DIGEST_COUNT; k++) {
        uint8_t digest[DIGEST_SIZE_MAX];
        bool ended = pass.digests[k] != nullptr &&
                     platform.endDigest(pass.digests[k], digest, DIGEST_SIZES[k]);
        pass.digests[k] = nullptr;
        if (ended) toHex(digest, DIGEST_SIZES[k], hex);
        addSum(text, DIGEST_NAMES[k], ended ? hex : nullptr,
               pass.offered[k] ? NOT_COMPUTED : UNAVAILABLE, name);
    }
}

// Bytes of the sector shown, as shown.
void checksumShown(uint32_t first, uint32_t length, const char* name, char* text)
{
    ChecksumPass pass;
    beginPass(pass);
    addToPass(pass, editor.workBuffer + first, length);
    bool edited = std::memcmp(editor.workBuffer + first, editor.savedCopy + first, length) != 0;
    endPass(pass, name, edited, text);
}

// What a file of the range is called: the drive's letter, the disk's number
// or the image file's name, with the first and last sector.
void nameRange(Source source, SectorRange range, char* name)
{
    char medium[MEDIUM_NAME_SIZE];
    const char* file = fileNameOf(editor.imagePath);
    if (source.kind == SourceKind::Drive)
        std::snprintf(medium, sizeof medium, "%c", 'A' + source.number);
    else if (source.kind == SourceKind::Disk)
        std::snprintf(medium, sizeof medium, "disk%d", int(source.number));
    else
        std::snprintf(medium, sizeof medium, "%.*s", int(std::strcspn(file, ".")), file);
    std::snprintf(name, NAME_SIZE, "%s_%llu-%llu.bin", medium, (unsigned long long)range.first,
                  (unsigned long long)(range.first + range.count - 1));
}

// Every read status is checked: a sector that cannot be read ends the pass
// naming it, and no sum of the rest passes for the range's.
RunResult hashSectors(const ImageDrive& target, SectorRange range, ChecksumPass& pass)
{
    uint32_t sectorSize = target.space.bytesPerSector, chunk = runChunkSectors(sectorSize);
    RunBuffer buffer(chunk * sectorSize);
    if (buffer.bytes == nullptr) return {RunOutcome::Failed, MSG_OUT_OF_MEMORY, 0};
    RunProgress progress;
    for (SectorNumber done = 0; done < range.count; done += chunk) {
        showRunProgress(progress, done, range.count);
        uint32_t step = uint32_t(std::min<SectorNumber>(chunk, range.count - done));
        SectorNumber sector = range.first + done;
        if (SectorIo::transfer(SectorOp::Read, target.source, step, sector, buffer.bytes) !=
            SECTOR_STATUS_OK)
            return {RunOutcome::Failed, MSG_SECTOR_UNREADABLE, done,
                    firstUnreadable(target, sector, step, buffer.bytes)};
        addToPass(pass, buffer.bytes, step * sectorSize);
        if (done + step < range.count && !platform.continueRun())
            return {RunOutcome::Stopped, MSG_RUN_STOPPED, done + step};
    }
    return {RunOutcome::Done, MSG_DONE, range.count};
}

// Reads only, without a lock: nothing is written.
bool checksumRange(Source source, SaveRange range, char* text)
{
    ImageDrive target;
    if (!queryImageDrive(source, target) ||
        !resolveSaveRange(range, target, checksumStart, checksumCount))
        return false;
    if (checksumCount == 0) {
        showMessage(MSG_BAD_PARAMETER, MessageKind::Error);
        return false;
    }
    SectorRange sectors = {checksumStart, checksumCount};
    ChecksumPass pass;
    beginPass(pass);
    RunResult result{RunOutcome::Failed, MSG_SECTOR_READ_ERROR, 0, 0};
    if (SectorIo::beginRun(SectorOp::Read, target.source, target.space.bytesPerSector, false))
        result = hashSectors(target, sectors, pass);
    SectorIo::endRun(false);
    if (result.end != RunOutcome::Done) {
        dropPass(pass);
        reportRunEnd(result, nullptr);
        return false;
    }
    platform.showProgress(100);
    char name[NAME_SIZE];
    nameRange(target.source, sectors, name);
    endPass(pass, name, false, text);
    return true;
}

}  // namespace

bool hasSectorToChecksum()
{
    return editor.source.kind != SourceKind::None;
}

// A selection is of the sector shown, and never past its end.
bool hasSelectionToChecksum()
{
    ByteSpan span = selectedBytes();
    return hasSectorToChecksum() && span.length != 0 && span.first < editor.sectorSize &&
           span.length <= editor.sectorSize - span.first;
}

// The run may query another drive than the one shown: what the editor's
// commands go by is put back afterwards.
bool computeChecksums(ChecksumTarget target, Source source, SaveRange range)
{
    char* text = checksumText;
    text[0] = '\0';
    char name[NAME_SIZE];
    switch (target) {
    case ChecksumTarget::Selection: {
        if (!hasSelectionToChecksum()) return false;
        ByteSpan span = selectedBytes();
        std::snprintf(name, sizeof name, "selection_%04lX-%04lX.bin", (unsigned long)span.first,
                      (unsigned long)(span.first + span.length - 1));
        checksumShown(span.first, span.length, name, text);
        return true;
    }
    case ChecksumTarget::ShownSector:
        if (!hasSectorToChecksum()) return false;
        std::snprintf(name, sizeof name, "sector_%llu.bin",
                      (unsigned long long)editor.currentSector);
        checksumShown(0, editor.sectorSize, name, text);
        return true;
    case ChecksumTarget::DriveRange: break;
    }
    const VolumeInfo shown = volumeInfo;
    bool done = checksumRange(source, range, text);
    volumeInfo = shown;
    return done;
}

void copyChecksums()
{
    if (platform.setClipboardText(checksumText, uint32_t(std::strlen(checksumText))) ==
        ClipboardResult::NoMemory)
        showMessage(MSG_OUT_OF_MEMORY, MessageKind::Error);
}
