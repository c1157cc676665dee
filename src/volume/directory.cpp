#include "volume/directory.h"

#include <cstring>

#include "platform/little_endian.h"
#include "volume/cluster.h"

namespace {

constexpr uint32_t NAME_SIZE = 11;
constexpr uint32_t ENTRY_ATTRIBUTES = 11;
constexpr uint32_t ENTRY_MODIFIED_TIME = 22;
constexpr uint32_t ENTRY_MODIFIED_DATE = 24;
constexpr uint32_t ENTRY_FILE_SIZE = 28;
constexpr uint32_t PART_CHECKSUM = 13;
constexpr uint8_t LAST_PART = 0x40;
constexpr uint8_t PART_NUMBER = 0x1F;
constexpr uint8_t ATTR_RESERVED = 0xC0;
// A name whose first byte really is E5h (a Shift-JIS lead byte) keeps 05h
// there, so that it does not read as deleted.
constexpr uint8_t KANJI_E5 = 0x05;
constexpr uint32_t PART_UNITS = 13;
constexpr uint32_t LONG_PARTS_MAX = LONG_NAME_MAX / PART_UNITS;

// A part keeps its 13 UTF-16 units in three pieces around its other fields.
constexpr struct {
    uint32_t offset, units;
} PART_PIECES[] = {{1, 5}, {14, 6}, {28, 2}};

bool isLongPart(const uint8_t* slot)
{
    return slot[ENTRY_ATTRIBUTES] == ATTR_LONG_NAME;
}

bool isDeleted(const uint8_t* slot)
{
    return slot[0] == DELETED_MARK;
}

// A part's text ends at 0000h; the FFFFh after it only pads the part.
uint32_t appendPartText(const uint8_t* slot, uint16_t* name, uint32_t length)
{
    for (const auto& piece : PART_PIECES)
        for (uint32_t i = 0; i < piece.units; i++) {
            uint16_t unit = uint16_t(read16(slot + piece.offset + 2 * i));
            if (unit == 0) return length;
            if (unit != 0xFFFF && length < LONG_NAME_MAX) name[length++] = unit;
        }
    return length;
}

bool hasControlByte(const uint8_t* name)
{
    for (uint32_t i = 0; i < NAME_SIZE; i++)
        if (name[i] < 0x20 && !(i == 0 && name[0] == KANJI_E5)) return true;
    return false;
}

bool isBlank(const uint8_t* name)
{
    for (uint32_t i = 0; i < NAME_SIZE; i++)
        if (name[i] != ' ') return false;
    return true;
}

EntryKind shortEntryKind(const uint8_t* slot)
{
    uint8_t attributes = slot[ENTRY_ATTRIBUTES];
    bool label = attributes & ATTR_VOLUME, directory = attributes & ATTR_DIRECTORY;
    if ((attributes & ATTR_RESERVED) || hasControlByte(slot) || isBlank(slot) ||
        (label && directory) || (directory && read32(slot + ENTRY_FILE_SIZE) != 0))
        return EntryKind::Damaged;
    if (label) return EntryKind::Label;
    return directory ? EntryKind::Directory : EntryKind::File;
}

// The first slot whose first byte is 0: nothing after it was ever written
// by the file system, so whatever bytes lie there are no entries.
uint32_t directoryEnd(const uint8_t* bytes, uint32_t size)
{
    for (uint32_t at = 0; size - at >= DIR_ENTRY_SIZE; at += DIR_ENTRY_SIZE)
        if (bytes[at] == 0) return at;
    return size;
}

EntryKind slotKind(const uint8_t* slot, bool pastEnd)
{
    if (pastEnd || slot[0] == 0) return EntryKind::Unused;
    return isLongPart(slot) ? EntryKind::LongName : shortEntryKind(slot);
}

// A live entry's parts lie before it from number 1 back to the one marked
// last. Where they do not, the text of those found is still given, nearest
// first, for the user to judge.
void collectLiveName(const uint8_t* bytes, uint32_t offset, DirectoryEntry& entry)
{
    uint8_t sum = shortNameChecksum(bytes + offset);
    uint32_t at = offset, parts = 0;
    bool inSequence = true, last = false;
    while (at >= DIR_ENTRY_SIZE && !last && parts < LONG_PARTS_MAX) {
        const uint8_t* slot = bytes + at - DIR_ENTRY_SIZE;
        if (!isLongPart(slot) || isDeleted(slot)) break;
        at -= DIR_ENTRY_SIZE;
        parts++;
        last = slot[0] & LAST_PART;
        inSequence = inSequence && uint32_t(slot[0] & ~LAST_PART) == parts &&
                     slot[PART_CHECKSUM] == sum;
        entry.longLength = appendPartText(slot, entry.longName, entry.longLength);
    }
    if (parts == 0) return;
    entry.longOffset = at;
    entry.longCheck = inSequence && last ? LongNameCheck::Valid : LongNameCheck::Mismatch;
}

// Deleting overwrote the first byte of the name and of each part: the
// long name's first character, uppercased, is the one guess worth trying.
uint8_t guessFirstByte(const DirectoryEntry& entry, const uint8_t* slot, uint8_t sum)
{
    uint16_t unit = entry.longLength == 0 ? 0 : entry.longName[0];
    if (unit <= ' ' || unit > '~') return 0;
    uint8_t name[NAME_SIZE];
    std::memcpy(name, slot, NAME_SIZE);
    name[0] = uint8_t(unit >= 'a' && unit <= 'z' ? unit - 'a' + 'A' : unit);
    return shortNameChecksum(name) == sum ? name[0] : 0;
}

// A deleted entry's parts lost their numbers; those that carry one checksum
// are taken as its name.
void collectDeletedName(const uint8_t* bytes, uint32_t offset, DirectoryEntry& entry)
{
    uint32_t at = offset, parts = 0;
    uint8_t sum = 0;
    while (at >= DIR_ENTRY_SIZE && parts < LONG_PARTS_MAX) {
        const uint8_t* slot = bytes + at - DIR_ENTRY_SIZE;
        if (!isLongPart(slot) || !isDeleted(slot)) break;
        if (parts > 0 && slot[PART_CHECKSUM] != sum) break;
        sum = slot[PART_CHECKSUM];
        at -= DIR_ENTRY_SIZE;
        parts++;
        entry.longLength = appendPartText(slot, entry.longName, entry.longLength);
    }
    if (parts == 0) return;
    entry.longOffset = at;
    entry.guessedFirst = guessFirstByte(entry, bytes + offset, sum);
    entry.longCheck = entry.guessedFirst != 0 ? LongNameCheck::Valid : LongNameCheck::Mismatch;
}

void decodeLongPart(const uint8_t* slot, DirectoryEntry& entry)
{
    std::memcpy(entry.name, slot, NAME_SIZE);
    entry.attributes = slot[ENTRY_ATTRIBUTES];
    entry.part = entry.deleted ? 0 : slot[0] & PART_NUMBER;
    entry.longLength = appendPartText(slot, entry.longName, 0);
}

void decodeShortEntry(const uint8_t* bytes, uint32_t offset, const VolumeLayout& layout,
                      DirectoryEntry& entry)
{
    const uint8_t* slot = bytes + offset;
    std::memcpy(entry.name, slot, NAME_SIZE);
    if (!entry.deleted && entry.name[0] == KANJI_E5) entry.name[0] = DELETED_MARK;
    entry.attributes = slot[ENTRY_ATTRIBUTES];
    entry.modifiedTime = uint16_t(read16(slot + ENTRY_MODIFIED_TIME));
    entry.modifiedDate = uint16_t(read16(slot + ENTRY_MODIFIED_DATE));
    entry.firstCluster = entryFirstCluster(slot, layout);
    entry.size = read32(slot + ENTRY_FILE_SIZE);
    if (entry.deleted)
        collectDeletedName(bytes, offset, entry);
    else
        collectLiveName(bytes, offset, entry);
}

void decodeSlot(const uint8_t* bytes, uint32_t offset, uint32_t end, const VolumeLayout& layout,
                DirectoryEntry& entry)
{
    const uint8_t* slot = bytes + offset;
    entry = DirectoryEntry{};
    entry.offset = entry.longOffset = offset;
    entry.kind = slotKind(slot, offset >= end);
    if (entry.kind == EntryKind::Unused) return;
    entry.deleted = isDeleted(slot);
    if (entry.kind == EntryKind::LongName)
        decodeLongPart(slot, entry);
    else
        decodeShortEntry(bytes, offset, layout, entry);
}

// A file or directory in use whose data would lie outside the volume.
bool pointsOutside(const uint8_t* slot, EntryKind kind, const VolumeLayout& layout)
{
    if ((kind != EntryKind::File && kind != EntryKind::Directory) || isDeleted(slot)) return false;
    uint32_t cluster = entryFirstCluster(slot, layout);
    return cluster != 0 && !isClusterInVolume(layout, cluster);
}

}  // namespace

uint8_t shortNameChecksum(const uint8_t* name)
{
    uint8_t sum = 0;
    for (uint32_t i = 0; i < NAME_SIZE; i++) sum = uint8_t((sum << 7 | sum >> 1) + name[i]);
    return sum;
}

uint32_t decodeDirectory(const uint8_t* bytes, uint32_t size, uint32_t shownFrom,
                         const VolumeLayout& layout, DirectoryEntry* entries, uint32_t capacity)
{
    uint32_t end = directoryEnd(bytes, size), count = 0;
    for (uint32_t at = shownFrom; at <= size && size - at >= DIR_ENTRY_SIZE && count < capacity;
         at += DIR_ENTRY_SIZE)
        decodeSlot(bytes, at, end, layout, entries[count++]);
    return count;
}

// Data sectors rarely pass: text and code set reserved attribute bits or
// put control bytes in names, and a first cluster past the volume gives
// away what only looks like an entry.
bool looksLikeDirectory(const uint8_t* sector, uint32_t size, const VolumeLayout& layout)
{
    uint32_t end = directoryEnd(sector, size);
    bool inUse = false;
    for (uint32_t at = 0; size - at >= DIR_ENTRY_SIZE; at += DIR_ENTRY_SIZE) {
        const uint8_t* slot = sector + at;
        EntryKind kind = slotKind(slot, at >= end);
        if (kind == EntryKind::Damaged || pointsOutside(slot, kind, layout)) return false;
        inUse = inUse || (kind != EntryKind::Unused && !isDeleted(slot));
    }
    return inUse;
}

namespace {

// Trailing spaces pad the name's fields.
uint32_t copyTrimmed(const uint8_t* field, uint32_t length, char* text)
{
    while (length > 0 && field[length - 1] == ' ') length--;
    for (uint32_t k = 0; k < length; k++) text[k] = field[k] < 0x20 ? '.' : char(field[k]);
    return length;
}

}  // namespace

void formatShortName(const DirectoryEntry& entry, char (&text)[SHORT_NAME_TEXT_SIZE])
{
    bool label = entry.kind == EntryKind::Label;
    uint32_t at = copyTrimmed(entry.name, label ? 11 : 8, text);
    char extension[3];
    uint32_t extensionLength = label ? 0 : copyTrimmed(entry.name + 8, 3, extension);
    if (extensionLength > 0) text[at++] = '.';
    for (uint32_t k = 0; k < extensionLength; k++) text[at++] = extension[k];
    text[at] = '\0';
    if (entry.deleted && at > 0) text[0] = '?';
}
