#include "editor/navigation.h"

#include <cstdio>
#include <cstring>

#include "editor/cursor.h"
#include "editor/display_mode.h"
#include "editor/editor_state.h"
#include "editor/position_text.h"
#include "platform/commands.h"
#include "platform/messages.h"
#include "platform/platform.h"
#include "platform/settings.h"
#include "volume/drive_types.h"
#include "volume/fat_chain.h"
#include "volume/medium.h"
#include "volume/volume_info.h"

namespace {

// Enabled by the first sector shown; the menu starts with them grayed.
constexpr int FIRST_SECTOR_COMMANDS[] = {
    CMD_SECTOR_FILE_LOAD, CMD_SECTOR_FILE_SAVE, CMD_DUMP_TO_FILE,  CMD_DUMP_TO_CLIPBOARD,
    CMD_REFRESH,          CMD_ZERO_CLEAR,       CMD_EDIT_BYTE,     CMD_JUMP_LAST,
    CMD_DRIVE_INFO,       CMD_FONT_LARGEST,     CMD_FONT_LARGE,    CMD_FONT_MEDIUM,
    CMD_FONT_SMALL,       CMD_FONT_SMALLEST,    CMD_TOGGLE_KANJI,  CMD_FIND,
    CMD_FIND_NEXT,        CMD_SELECT_ALL,       CMD_PASTE_HEX,     CMD_GO_TO,
};

// The FAT areas: meaningless on NTFS, and while no drive is shown.
constexpr int AREA_COMMANDS[] = {
    CMD_JUMP_IPL, CMD_JUMP_FAT, CMD_JUMP_DIR, CMD_JUMP_DATA, CMD_JUMP_CLUSTER, CMD_SAVE_AS_FILE,
};

// The buffers are 16-byte lines of at most IMAGE_BUFFER_SIZE bytes.
bool isShowableSectorSize(uint32_t size)
{
    return size != 0 && size % 16 == 0 && size <= IMAGE_BUFFER_SIZE;
}

void acceptLoadedSector(Source source, SectorNumber sector)
{
    clearSelection();
    syncBuffers(SyncMode::Accept);
    if (editor.source.kind == SourceKind::None) {
        for (int id : FIRST_SECTOR_COMMANDS) setCommandEnabled(id, true);
        setKanjiMode(settings.kanji);
    }
    for (int id : AREA_COMMANDS) setCommandEnabled(id, editorWindow.hasAreas);
    // A chain is followed from a data cluster only.
    bool inData = editorWindow.hasAreas && sector >= editorWindow.firstSector &&
                  sector - editorWindow.firstSector >= editorWindow.layout.dataStart;
    setCommandEnabled(CMD_NEXT_CLUSTER, inData);
    setCommandEnabled(CMD_PREV_CLUSTER, inData);
    // Only a drive letter is a volume the system knows; an image file no
    // longer shown is let go.
    setCommandEnabled(CMD_DRIVE_INFO, source.kind == SourceKind::Drive);
    setCommandEnabled(CMD_PARTITION_LIST, partitionTable.isDisk);
    if (editor.source.kind == SourceKind::ImageFile && source.kind != SourceKind::ImageFile)
        SectorIo::closeImage();
    bool sameSource = source == editor.source;
    editor.previousSector =
        sameSource && sector != editor.currentSector ? editor.currentSector : NO_SECTOR;
    editor.source = source;
    editor.currentSector = sector;
    // Typed bytes must land inside a sector with fewer lines than the last one.
    if (editor.cursorLine >= editor.lineCount) editor.cursorLine = editor.lineCount - 1;

    setCommandEnabled(CMD_PREV_SECTOR, editor.currentSector != 0);
    setCommandEnabled(CMD_NEXT_SECTOR, editor.currentSector != editorLayout.totalSectors - 1);
    setCommandEnabled(CMD_BACK, editor.previousSector != NO_SECTOR);
    updateUndoWriteCommand();
    updateTitle();
    applyFontSize(settings.fontSize);
}

// The source's own layout, and where it is a whole disk (sector 0 holds no
// volume but a partition table) its partitions and the one `sector` is in.
bool readVolumes(Source source, SectorNumber sector, DriveSpace& space, VolumeLayout& layout,
                 PartitionTable& table, VolumeWindow& window)
{
    if (!openVolume(source, space, layout)) return false;
    bool hasAreas = !volumeInfo.isNtfs && !volumeInfo.isRaw;
    table.isDisk = false;
    if (volumeInfo.isRaw && isShowableSectorSize(space.bytesPerSector))
        readPartitionTable(source, space.bytesPerSector, layout.totalSectors, table);
    openVolumeWindow(source, table, layout, hasAreas, sector, window);
    return true;
}

// Everything is read aside: false leaves the editor as it was, and `space`,
// `layout`, `table` and `window` hold the source's figures only when true.
bool readAside(Source source, SectorNumber sector, DriveSpace& space, VolumeLayout& layout,
               PartitionTable& table, VolumeWindow& window, uint8_t* sectorRead)
{
    if (!readVolumes(source, sector, space, layout, table, window)) {
        showMessage(MSG_SECTOR_READ_ERROR, MessageKind::Error);
        return false;
    }
    if (!isShowableSectorSize(space.bytesPerSector)) {
        showMessage(MSG_DRIVE_UNSUPPORTED, MessageKind::Error);
        return false;
    }
    // Past the last sector is a mistake to say, not sector 0 to show instead.
    if (sector >= layout.totalSectors) {
        showMessage(MSG_BAD_PARAMETER, MessageKind::Error);
        return false;
    }
    // A sector that could not be read is not shown as zeros: an edit written
    // back would overwrite the real sector with data that was never read.
    if (SectorIo::transfer(SectorOp::Read, source, 1, sector, sectorRead) != SECTOR_STATUS_OK) {
        showMessage(MSG_SECTOR_READ_ERROR, MessageKind::Error);
        return false;
    }
    return true;
}

// Which of a disk's two GPT headers the partitions come from is said once,
// when the disk is opened or its table changes.
void tellGptState(Source source)
{
    if (partitionTable.gpt != GptState::Backup && partitionTable.gpt != GptState::Damaged) return;
    MessageId id = partitionTable.gpt == GptState::Backup ? MSG_GPT_FROM_BACKUP : MSG_GPT_DAMAGED;
    char disk[FILE_PATH_SIZE], text[FILE_PATH_SIZE + 256];
    nameMedium(source, fileNameOf(editor.imagePath), nullptr, disk, sizeof disk);
    std::snprintf(text, sizeof text, messageText(id), disk);
    showTextWithDetail(text, messageKind(id), nullptr);
}

}  // namespace

bool loadSector(Source source, SectorNumber sector)
{
    if (!askDiscardEdits()) return false;
    if (source.kind == SourceKind::Drive && !isSupportedDrive(source.number)) {
        showMessage(MSG_DRIVE_UNSUPPORTED, MessageKind::Error);
        return false;
    }
    // The volume facts and the area commands describe the source shown,
    // which a refused load leaves as it was.
    const VolumeInfo shownVolume = volumeInfo;
    DriveSpace space;
    VolumeLayout layout;
    VolumeWindow window;
    static PartitionTable tableRead;
    alignas(SECTOR_BUFFER_ALIGNMENT) uint8_t sectorRead[IMAGE_BUFFER_SIZE] = {};
    if (!readAside(source, sector, space, layout, tableRead, window, sectorRead)) {
        volumeInfo = shownVolume;
        return false;
    }

    bool newTable = source != editor.source || tableRead.gpt != partitionTable.gpt;
    if (source != editor.source) forgetFatScan();
    editorSpace = space;
    editorLayout = layout;
    editorWindow = window;
    std::memcpy(&partitionTable, &tableRead, sizeof tableRead);
    if (newTable) tellGptState(source);
    editor.sectorSize = space.bytesPerSector;
    editor.lineCount = int32_t(space.bytesPerSector >> 4);
    std::memcpy(editor.workBuffer, sectorRead, sizeof sectorRead);
    acceptLoadedSector(source, sector);
    return true;
}

bool navigate(int command)
{
    SectorNumber target;
    switch (command) {
    case CMD_PREV_SECTOR: target = editor.currentSector - 1; break;
    case CMD_NEXT_SECTOR: target = editor.currentSector + 1; break;
    case CMD_JUMP_IPL: target = editorWindow.firstSector; break;
    case CMD_JUMP_FAT: target = editorWindow.firstSector + editorWindow.layout.reservedSectors; break;
    case CMD_JUMP_DIR: target = editorWindow.firstSector + editorWindow.layout.dirStart; break;
    case CMD_JUMP_DATA: target = editorWindow.firstSector + editorWindow.layout.dataStart; break;
    case CMD_JUMP_LAST: target = editorLayout.totalSectors - 1; break;
    case CMD_BACK: target = editor.previousSector; break;
    case CMD_REFRESH:
        forgetFatScan();  // F5 is how a swapped medium is read afresh
        target = editor.currentSector;
        break;
    default: return false;
    }
    loadSector(editor.source, target);
    return true;
}

bool openImageFile(const char* path)
{
    // A device opened as a file would be written as one.
    if (isDevicePath(path)) {
        showMessage(MSG_DEVICE_PATH, MessageKind::Error);
        return false;
    }
    // Kept writes know the file by its full path.
    char full[FILE_PATH_SIZE];
    if (!platform.getFullPath(path, full, FILE_PATH_SIZE)) {
        showMessage(MSG_FILE_OPEN_ERROR, MessageKind::Error);
        return false;
    }
    if (!askDiscardEdits()) return false;
    // The shown image's sector must never be read from, or written to, the
    // file that replaces it: whatever fails, the file shown stays open.
    char shownPath[FILE_PATH_SIZE];
    std::memcpy(shownPath, editor.imagePath, FILE_PATH_SIZE);
    switch (SectorIo::openImage(full)) {
    case SectorIo::ImageOpening::Opened: break;
    case SectorIo::ImageOpening::Unopened:
        showMessage(MSG_FILE_OPEN_ERROR, MessageKind::Error);
        return false;
    case SectorIo::ImageOpening::TooShort:
        showMessage(MSG_IMAGE_TOO_SHORT, MessageKind::Error);
        return false;
    }
    syncBuffers(SyncMode::Revert);  // let go at the question above
    std::memcpy(editor.imagePath, full, FILE_PATH_SIZE);
    partitionTable.gpt = GptState::None;  // another file's table: told afresh
    bool shown = loadSector(IMAGE_FILE_SOURCE, 0);
    if (!shown && editor.source.kind == SourceKind::ImageFile) {
        SectorIo::openImage(shownPath);
        std::memcpy(editor.imagePath, shownPath, FILE_PATH_SIZE);
        readVolumes(IMAGE_FILE_SOURCE, editor.currentSector, editorSpace, editorLayout,
                    partitionTable, editorWindow);
    }
    if (!shown) return false;
    // Another file's sector is no place to go back to.
    editor.previousSector = NO_SECTOR;
    setCommandEnabled(CMD_BACK, false);
    return true;
}

bool parseSectorNumber(const char* text, SectorNumber& number)
{
    PositionText typed;
    number = 0;
    if (!parsePositionText(text, typed) || typed.sign != PositionSign::Absolute) return false;
    number = typed.value;
    return true;
}
