#pragma once
#include <cstdint>

#include "volume/boot_sector.h"

// A FAT directory is an array of 32-byte entries.
constexpr uint32_t DIR_ENTRY_SIZE = 32;
// The longest long name, in UTF-16 units: 20 parts of 13.
constexpr uint32_t LONG_NAME_MAX = 260;

constexpr uint8_t ATTR_READ_ONLY = 0x01;
constexpr uint8_t ATTR_HIDDEN = 0x02;
constexpr uint8_t ATTR_SYSTEM = 0x04;
constexpr uint8_t ATTR_VOLUME = 0x08;
constexpr uint8_t ATTR_DIRECTORY = 0x10;
constexpr uint8_t ATTR_ARCHIVE = 0x20;
constexpr uint8_t ATTR_LONG_NAME = 0x0F;

constexpr uint8_t DELETED_MARK = 0xE5;

enum class EntryKind : uint8_t {
    Unused,     // first byte 0, or an entry after one
    LongName,   // one part of a long name (attributes 0Fh), deleted or not
    Label,      // the volume label
    File,
    Directory,  // "." and ".." included
    Damaged,    // bytes no file system writes: reserved attribute bits, control
                // characters in the name, a directory with a size
};

enum class LongNameCheck : uint8_t {
    None,      // no long name parts precede the entry
    Valid,     // parts in sequence, each with the entry's checksum
    Mismatch,  // parts there, but out of sequence or for another entry
};

struct DirectoryEntry {
    uint32_t offset;      // of this entry in the bytes decoded
    uint32_t longOffset;  // of the first part of its long name; `offset` when none
    EntryKind kind;
    bool deleted;         // first byte E5h (long name parts too)
    uint8_t name[11];     // the 8.3 name as stored, a leading 05h given back as E5h
    uint8_t guessedFirst; // a deleted entry's first character as its long name
                          // and checksum agree on it; 0 when unknown
    uint8_t attributes;
    uint16_t modifiedTime;
    uint16_t modifiedDate;
    uint32_t firstCluster;  // with the high word on FAT32 only
    uint32_t size;
    LongNameCheck longCheck;
    uint32_t longLength;             // UTF-16 units in longName; 0 for none
    uint16_t longName[LONG_NAME_MAX];
    uint8_t part;  // a long name part's sequence number (without the last-part flag)
};

// The checksum a long name's parts carry of their entry's 8.3 name.
uint8_t shortNameChecksum(const uint8_t* name);

// Decodes the entries of `bytes` from `shownFrom` on, one for every 32
// bytes, into `entries` (at most `capacity`; the count is returned). The
// bytes before `shownFrom` (the sector before the one shown, where it is of
// the same directory) lend the long name parts that begin there. `size` and
// `shownFrom` are whole entries. Any bytes give a defined result.
uint32_t decodeDirectory(const uint8_t* bytes, uint32_t size, uint32_t shownFrom,
                         const VolumeLayout& layout, DirectoryEntry* entries, uint32_t capacity);

// Whether a sector of the data area reads as a directory: every entry is
// unused, deleted, a long name part, a label, a file or a directory, none
// damaged, and at least one is in use.
bool looksLikeDirectory(const uint8_t* sector, uint32_t size, const VolumeLayout& layout);

// Room for a short name as shown: eight characters, a dot, three, its end.
constexpr uint32_t SHORT_NAME_TEXT_SIZE = 13;

// The entry's short name as a directory listing shows it: "NAME.EXT" without
// the padding, a label's eleven characters as they are, control characters
// as '.', and '?' for a deleted entry's lost first character.
void formatShortName(const DirectoryEntry& entry, char (&text)[SHORT_NAME_TEXT_SIZE]);
