#pragma once
#include <cstdint>

// The information dialog's texts for the drive shown: its capacity, areas
// and identity, as the fields of the "INFO" dialog hold them.
enum DetailField {
    DETAIL_TOTAL_BYTES,
    DETAIL_FREE_BYTES,
    DETAIL_TOTAL_SECTORS,
    DETAIL_CLUSTERS,
    DETAIL_SECTORS_PER_CLUSTER,
    DETAIL_BYTES_PER_SECTOR,
    DETAIL_DRIVE_TYPE,
    DETAIL_FILE_SYSTEM,
    DETAIL_IPL_SECTORS,
    DETAIL_FAT_SECTORS,
    DETAIL_DIR_SECTORS,
    DETAIL_DATA_SECTORS,
    DETAIL_VOLUME_NAME,
    DETAIL_SERIAL,
    DETAIL_FIELD_COUNT,
};

constexpr int DETAIL_TEXT_SIZE = 261;  // a volume label's MAX_PATH + 1

struct DriveDetails {
    char title[DETAIL_TEXT_SIZE];
    char fields[DETAIL_FIELD_COUNT][DETAIL_TEXT_SIZE];
};

// Right-aligned in 15 characters, beyond 32 bits too.
void formatByteCount(uint64_t value, char out[DETAIL_TEXT_SIZE]);

// The current drive's texts: its space and layout as of its last load, its
// volume facts (file system included) read afresh.
void readDriveDetails(DriveDetails& details);

// The shell's context-menu texts each button looks for, in the order tried.
struct MenuCandidates {
    const char* const* texts;
    int count;
    const char* verb;  // the canonical verb where no text matches, or null
};

extern const MenuCandidates PROPERTIES_TEXTS;
extern const MenuCandidates FORMAT_TEXTS;
extern const MenuCandidates EJECT_TEXTS;

// The position of the first menu item, in menu order, whose text equals any
// candidate; -1 when none does.
int findMenuCandidate(const char* const* menuTexts, int menuCount, const MenuCandidates& candidates);
