#include "driveinfo/drive_list.h"

#include <cstdio>
#include <cstring>

#include "disk/drive_root.h"
#include "platform/platform.h"
#include "volume/volume_info.h"

DriveRows driveRows;
int columnSortOrder[DRIVE_LIST_COLUMNS];

const char* const DRIVE_LIST_HEADERS[DRIVE_LIST_COLUMNS] = {
    "ﾄﾞﾗｲﾌﾞ", "ﾎﾞﾘｭｰﾑ", "ｼﾘｱﾙ", "種別", "最大", "ﾌｧｲﾙｼｽﾃﾑ",
};

const int DRIVE_TYPE_ICONS[DRIVE_TYPE_ICON_COUNT] = {6, 8, 9, 11, 12};

namespace {

constexpr int SORT_ASCENDING = 1;
constexpr int SORT_DESCENDING = 2;

struct FlagText {
    uint32_t flag;
    const char* text;
};

// In the order they are shown, each with its comma.
constexpr FlagText FLAG_TEXTS[] = {
    {0x2, "大文字小文字の違いを保存,"},
    {0x1, "大文字小文字区別,"},
    {0x4, "ユニコードサポート,"},
    {0x10, "ファイルベースの圧縮サポート,"},
    {0x8000, "圧縮ドライブ,"},
};

// The image of each drive type, -1 for a type the list leaves out.
int imageOfDriveType(unsigned type)
{
    switch (type) {
    case DRIVE_TYPE_REMOVABLE: return 0;
    case DRIVE_TYPE_FIXED: return 1;
    case DRIVE_TYPE_REMOTE: return 2;
    case DRIVE_TYPE_CDROM: return 3;
    case DRIVE_TYPE_RAMDISK: return 4;
    default: return -1;
    }
}

void fillVolumeColumns(DriveRow& row, const VolumeInfo& info)
{
    std::snprintf(row.texts[1], DRIVE_LIST_TEXT_SIZE, "%s", info.volumeName);
    std::snprintf(row.texts[2], DRIVE_LIST_TEXT_SIZE, "%04X-%04X",
                  unsigned(info.serialNumber >> 16), unsigned(info.serialNumber & 0xFFFF));
    std::snprintf(row.texts[3], DRIVE_LIST_TEXT_SIZE, "%s", info.fileSystemName);
    std::snprintf(row.texts[4], DRIVE_LIST_TEXT_SIZE, "%5u", unsigned(info.maxComponentLength));
    fileSystemFlagsText(info.fileSystemFlags, row.texts[5]);
}

int sign(int value)
{
    return (value > 0) - (value < 0);
}

}  // namespace

void fileSystemFlagsText(uint32_t flags, char out[DRIVE_LIST_TEXT_SIZE])
{
    int at = 0;
    out[0] = '\0';
    for (const FlagText& entry : FLAG_TEXTS)
        if (flags & entry.flag)
            at += std::snprintf(out + at, DRIVE_LIST_TEXT_SIZE - at, "%s", entry.text);
}

void buildDriveRows()
{
    driveRows = DriveRows{};
    for (int& order : columnSortOrder) order = 0;
    for (int drive = 0; drive < DRIVE_COUNT; drive++) {
        const DriveRoot root = driveRoot(drive);
        int image = imageOfDriveType(platform.getDriveType(root.path));
        if (image < 0) continue;
        DriveRow& row = driveRows.rows[driveRows.count++];
        row.drive = drive;
        row.image = image;
        std::snprintf(row.texts[0], DRIVE_LIST_TEXT_SIZE, "%s", root.path);
        VolumeInfo info;
        row.hasVolume = readVolumeInfo(drive, info);
        if (row.hasVolume) fillVolumeColumns(row, info);
    }
}

void clickDriveColumn(int column)
{
    int& order = columnSortOrder[column];
    order = order == SORT_ASCENDING ? SORT_DESCENDING : SORT_ASCENDING;
}

// Plain byte order: Shift-JIS by its byte values, numbers by their characters.
int compareDriveRows(intptr_t param1, intptr_t param2, int column)
{
    int order = sign(std::strcmp(driveRows.rows[param1].texts[column],
                                 driveRows.rows[param2].texts[column]));
    return columnSortOrder[column] == SORT_ASCENDING ? order : -order;
}
