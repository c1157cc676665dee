#include "editor/write_undo.h"

#include <cstdio>
#include <cstring>

#include "editor/editor_state.h"
#include "editor/written_sectors.h"
#include "platform/commands.h"
#include "platform/messages.h"
#include "platform/platform.h"

namespace {

bool askUndoWrite(const WrittenSector& write)
{
    char drive[32], question[256];
    // 0x82 0x60 + n is the full-width capital letter n of Shift-JIS.
    std::snprintf(drive, sizeof drive, "%c%cドライブ", 0x82, 0x60 + write.drive);
    std::snprintf(question, sizeof question, messageText(MSG_UNDO_WRITE), drive,
                  (unsigned long long)write.sector);
    return askToProceedWith(MSG_UNDO_WRITE, question);
}

void showSectorMessage(MessageId id, SectorNumber sector)
{
    char text[256];
    std::snprintf(text, sizeof text, messageText(id), (unsigned long long)sector);
    showTextWithDetail(text, messageKind(id), nullptr);
}

// Read, compared and written back in one hold of the device, which must
// still have the sectors the record was taken with: anything else and
// nothing is written.
bool writeBack(const WrittenSector& write, uint8_t* sector)
{
    if (!SectorIo::beginRun(SectorOp::Write, write.drive, write.size, true)) {
        showMessage(MSG_SECTOR_READ_ERROR, MessageKind::Error);
        return false;
    }
    bool done = false;
    if (SectorIo::transfer(SectorOp::Read, write.drive, 1, write.sector, sector) !=
        SECTOR_STATUS_OK) {
        showMessage(MSG_SECTOR_READ_ERROR, MessageKind::Error);
    } else if (std::memcmp(sector, write.after, write.size) != 0) {
        showSectorMessage(MSG_CHANGED_SINCE_WRITE, write.sector);
    } else {
        std::memcpy(sector, write.before, write.size);
        done = SectorIo::transfer(SectorOp::Write, write.drive, 1, write.sector, sector) ==
               SECTOR_STATUS_OK;
        if (!done) showMessage(MSG_SECTOR_WRITE_ERROR, MessageKind::Error);
    }
    SectorIo::endRun(false);
    return done;
}

}  // namespace

void undoLastWrite()
{
    if (writtenSectors.count == 0) return;
    const WrittenSector& write = writtenSectors.writes[writtenSectors.count - 1];
    bool shown = editor.currentDrive == write.drive && editor.currentSector == write.sector;
    if (!askUndoWrite(write) || (shown && !askDiscardEdits())) return;
    alignas(SECTOR_BUFFER_ALIGNMENT) uint8_t sector[IMAGE_BUFFER_SIZE];
    if (!writeBack(write, sector)) return;
    SectorNumber number = write.sector;
    forgetLastWrittenSector();
    setCommandEnabled(CMD_UNDO_WRITE, writtenSectors.count > 0);
    if (shown) {
        std::memcpy(editor.workBuffer, sector, editor.sectorSize);
        syncBuffers(SyncMode::Accept);
        platform.invalidate(nullptr);
    }
    showSectorMessage(MSG_WRITE_UNDONE, number);
}
