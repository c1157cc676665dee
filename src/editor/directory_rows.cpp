#include <cstdio>

#include "editor/editor_state.h"
#include "editor/structure_rows.h"
#include "platform/platform.h"
#include "volume/cluster.h"
#include "volume/directory.h"

namespace {

const char* const DIRECTORY_HEADERS[] = {"ｵﾌｾｯﾄ", "名前", "長い名前", "属性",
                                         "更新日時", "ｸﾗｽﾀ", "ｻｲｽﾞ", "状態"};

constexpr uint32_t DIRECTORY_ENTRY_MAX = IMAGE_BUFFER_SIZE / DIR_ENTRY_SIZE;
DirectoryEntry entries[DIRECTORY_ENTRY_MAX];

const char* kindText(const DirectoryEntry& entry)
{
    switch (entry.kind) {
    case EntryKind::Unused: return "未使用";
    case EntryKind::LongName: return entry.deleted ? "削除 (長い名前)" : "長い名前";
    case EntryKind::Label: return entry.deleted ? "削除 (ﾗﾍﾞﾙ)" : "ﾎﾞﾘｭｰﾑﾗﾍﾞﾙ";
    case EntryKind::File: return entry.deleted ? "削除したﾌｧｲﾙ" : "ﾌｧｲﾙ";
    case EntryKind::Directory: return entry.deleted ? "削除したﾃﾞｨﾚｸﾄﾘ" : "ﾃﾞｨﾚｸﾄﾘ";
    case EntryKind::Damaged: return "壊れている";
    }
    return "";
}

void addShortName(StructureRow& row, const DirectoryEntry& entry)
{
    char name[SHORT_NAME_TEXT_SIZE];
    formatShortName(entry, name);
    addCell(row, "%s", name);
}

// Characters with no Shift-JIS form are marked in the state column.
bool addLongName(StructureRow& row, const DirectoryEntry& entry)
{
    char name[2 * LONG_NAME_MAX + 1];
    bool whole = platform.utf16ToShiftJis(entry.longName, entry.longLength, name, sizeof name);
    addCell(row, "%s", name);
    return whole || entry.longLength == 0;
}

void addAttributes(StructureRow& row, uint8_t attributes)
{
    const char letters[] = "RHSVDA";
    char text[7];
    for (int k = 0; k < 6; k++) text[k] = attributes & 1 << k ? letters[k] : '-';
    text[6] = '\0';
    addCell(row, "%s", text);
}

void addDateTime(StructureRow& row, uint16_t date, uint16_t time)
{
    unsigned day = date & 31, month = date >> 5 & 15, year = 1980 + (date >> 9);
    unsigned second = (time & 31) * 2, minute = time >> 5 & 63, hour = time >> 11;
    if (day == 0 || month == 0 || month > 12 || hour > 23 || minute > 59 || second > 59)
        addCell(row, "%04Xh %04Xh", unsigned(date), unsigned(time));
    else
        addCell(row, "%04u/%02u/%02u %02u:%02u:%02u", year, month, day, hour, minute, second);
}

// Enter goes to the entry's first cluster; a ".." of 0 is the root.
void setTarget(StructureRow& row, const DirectoryEntry& entry)
{
    const VolumeLayout& layout = editorWindow.layout;
    bool directory = entry.kind == EntryKind::Directory;
    if (entry.kind != EntryKind::File && !directory) return;
    row.directory = directory;
    if (directory && entry.firstCluster == 0 && entry.name[0] == '.')
        row.target = rootDirectorySector();
    else if (isClusterInVolume(layout, entry.firstCluster))
        row.target = editorWindow.firstSector + clusterFirstSector(layout, entry.firstCluster);
}

void addEntryRow(const DirectoryEntry& entry, uint32_t shownFrom)
{
    StructureRow* row = addStructureRow(entry.offset - shownFrom, DIR_ENTRY_SIZE);
    if (row == nullptr) return;
    addCell(*row, "%03X", unsigned(entry.offset - shownFrom));
    if (entry.kind == EntryKind::Unused) {
        for (int k = 0; k < 6; k++) addCell(*row, "%s", "");
        addCell(*row, "%s", kindText(entry));
        return;
    }
    if (entry.kind == EntryKind::LongName) {
        addCell(*row, "%s", "");
        bool whole = addLongName(*row, entry);
        for (int k = 0; k < 4; k++) addCell(*row, "%s", "");
        if (entry.deleted)
            addCell(*row, "%s%s", kindText(entry), whole ? "" : "  表示できない文字あり");
        else
            addCell(*row, "%s %u%s", kindText(entry), unsigned(entry.part),
                    whole ? "" : "  表示できない文字あり");
        return;
    }
    addShortName(*row, entry);
    bool whole = addLongName(*row, entry);
    addAttributes(*row, entry.attributes);
    addDateTime(*row, entry.modifiedDate, entry.modifiedTime);
    addCell(*row, "%lu", (unsigned long)entry.firstCluster);
    addCell(*row, "%lu", (unsigned long)entry.size);
    addCell(*row, "%s%s%s", kindText(entry),
            entry.longCheck == LongNameCheck::Mismatch ? "  長い名前が合わない" : "",
            whole ? "" : "  表示できない文字あり");
    setTarget(*row, entry);
}

}  // namespace

void buildDirectoryRows(const uint8_t* bytes, uint32_t size, uint32_t shownFrom)
{
    const VolumeLayout& layout = editorWindow.layout;
    setStructureColumns(DIRECTORY_HEADERS, 8);
    SectorNumber inVolume = editor.currentSector - editorWindow.firstSector;
    if (inVolume < layout.dataStart)
        setStructureTitle("ﾙｰﾄﾃﾞｨﾚｸﾄﾘ  %llu/%lu ｾｸﾀ目",
                          (unsigned long long)(inVolume - layout.dirStart) + 1,
                          (unsigned long)layout.rootDirSectors);
    else
        setStructureTitle("ﾃﾞｨﾚｸﾄﾘ  ｸﾗｽﾀ %lu", (unsigned long)((inVolume - layout.dataStart) /
                                                                   layout.sectorsPerCluster + 2));
    uint32_t count = decodeDirectory(bytes, size, shownFrom, layout, entries, DIRECTORY_ENTRY_MAX);
    for (uint32_t k = 0; k < count; k++) addEntryRow(entries[k], shownFrom);
}
