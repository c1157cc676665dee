#include "editor/status_text.h"

#include <cstdio>
#include <cstring>

#include "editor/dump_view.h"
#include "editor/editor_state.h"
#include "editor/selection.h"
#include "platform/platform.h"
#include "volume/cluster.h"
#include "volume/partition_names.h"

namespace {

uint32_t caretOffset()
{
    return uint32_t(DUMP_BYTES_PER_LINE * editor.cursorLine + editor.cursorColumn);
}

// A selection takes the caret's place: its first and last byte, its length.
void formatCaret(char* text)
{
    ByteSpan selected = selectedBytes();
    if (selected.length > 0) {
        std::snprintf(text, STATUS_TEXT_SIZE, "選択 %04X-%04X %lu ﾊﾞｲﾄ", unsigned(selected.first),
                      unsigned(selected.first + selected.length - 1),
                      (unsigned long)selected.length);
        return;
    }
    const char* digit = editor.cursorInText ? "文字" : editor.cursorNibble == 0 ? "上位" : "下位";
    std::snprintf(text, STATUS_TEXT_SIZE, "ｵﾌｾｯﾄ %04X %s", unsigned(caretOffset()), digit);
}

// Sectors past 2^64 bytes do not exist; the product is taken as it is.
void formatPosition(char* text)
{
    unsigned long long position =
        (unsigned long long)editor.currentSector * editor.sectorSize + caretOffset();
    std::snprintf(text, STATUS_TEXT_SIZE, "位置 %llXh (%llu)", position, position);
}

// Little-endian, as the drive's structures are; a value that would run past
// the sector's end is left out.
void formatValues(char* text)
{
    const uint8_t* bytes = editor.workBuffer + caretOffset();
    uint32_t left = editor.sectorSize - caretOffset();
    int at = std::snprintf(text, STATUS_TEXT_SIZE, "BYTE %u", unsigned(bytes[0]));
    if (left >= 2)
        at += std::snprintf(text + at, STATUS_TEXT_SIZE - at, "  WORD %u",
                            unsigned(bytes[0] | bytes[1] << 8));
    if (left >= 4)
        std::snprintf(
            text + at, STATUS_TEXT_SIZE - at, "  DWORD %lu",
            (unsigned long)(bytes[0] | bytes[1] << 8 | bytes[2] << 16 | uint32_t(bytes[3]) << 24));
}

// On a whole disk: the partition the sector is in, or the table it holds.
// The two halves of the area part, each with room for its longest text.
constexpr size_t PLACE_TEXT_SIZE = 32;
constexpr size_t AREA_TEXT_SIZE = 40;

void formatPlace(char* text)
{
    text[0] = '\0';
    if (editorWindow.partition >= 0)
        std::snprintf(text, PLACE_TEXT_SIZE, "ﾊﾟｰﾃｨｼｮﾝ%d",
                      int(partitionTable.entries[editorWindow.partition].number));
    else if (partitionTable.isDisk)
        std::snprintf(text, PLACE_TEXT_SIZE, "%s",
                      tableSectorName(tableSectorKind(partitionTable, editor.currentSector)));
}

// NTFS, raw volumes and layouts out of order have no FAT areas to name.
void formatVolumeArea(char* text)
{
    text[0] = '\0';
    const VolumeLayout& layout = editorWindow.layout;
    if (!editorWindow.hasAreas) return;
    SectorNumber sector = editor.currentSector - editorWindow.firstSector;
    uint64_t fatEnd = layout.reservedSectors + uint64_t(layout.fatCount) * layout.sectorsPerFat;
    if (sector < layout.reservedSectors) {
        std::snprintf(text, AREA_TEXT_SIZE, "IPL");
    } else if (sector < fatEnd) {
        std::snprintf(text, AREA_TEXT_SIZE, "FAT");
    } else if (sector < layout.dataStart) {
        std::snprintf(text, AREA_TEXT_SIZE, "DIR");
    } else {
        uint64_t cluster = layout.sectorsPerCluster == 0
                               ? 0
                               : (sector - layout.dataStart) / layout.sectorsPerCluster + 2;
        if (cluster <= UINT32_MAX && isClusterInVolume(layout, uint32_t(cluster)))
            std::snprintf(text, AREA_TEXT_SIZE, "DATA ｸﾗｽﾀ %lu", (unsigned long)cluster);
        else
            std::snprintf(text, AREA_TEXT_SIZE, "DATA");
    }
}

void formatArea(char* text)
{
    char place[PLACE_TEXT_SIZE], area[AREA_TEXT_SIZE];
    formatPlace(place);
    formatVolumeArea(area);
    const char* space = place[0] != '\0' && area[0] != '\0' ? " " : "";
    std::snprintf(text, STATUS_TEXT_SIZE, "%s%s%s", place, space, area);
}

void formatChanged(char* text)
{
    uint32_t changed = 0;
    for (uint32_t k = 0; k < editor.sectorSize; k++)
        changed += editor.workBuffer[k] != editor.savedCopy[k];
    std::snprintf(text, STATUS_TEXT_SIZE, "変更 %lu ﾊﾞｲﾄ", (unsigned long)changed);
}

}  // namespace

void formatStatus(StatusTexts& texts)
{
    std::memset(&texts, 0, sizeof texts);
    if (editor.source.kind == SourceKind::None) return;
    formatCaret(texts.parts[0]);
    formatPosition(texts.parts[1]);
    formatValues(texts.parts[2]);
    formatArea(texts.parts[3]);
    formatChanged(texts.parts[4]);
}

void showStatus()
{
    StatusTexts texts;
    formatStatus(texts);
    const char* parts[STATUS_PART_COUNT];
    for (int k = 0; k < STATUS_PART_COUNT; k++) parts[k] = texts.parts[k];
    platform.showStatus(parts, STATUS_PART_COUNT);
}
