#include "editor/write_undo.h"

#include <cstdio>
#include <cstring>

#include "editor/editor_state.h"
#include "editor/written_sectors.h"
#include "platform/messages.h"
#include "platform/platform.h"

namespace {

// Room for a file's path and its label in brackets.
constexpr size_t MEDIUM_NAME_SIZE = FILE_PATH_SIZE + MEDIUM_LABEL_SIZE + 8;

void showSectorMessage(MessageId id, SectorNumber sector)
{
    char text[256];
    std::snprintf(text, sizeof text, messageText(id), (unsigned long long)sector);
    showTextWithDetail(text, messageKind(id), nullptr);
}

bool askUndoWrite(const WrittenSector& write)
{
    char medium[MEDIUM_NAME_SIZE], question[MEDIUM_NAME_SIZE + 256];
    nameMedium(write.source, write.medium.path, write.medium.label, medium, sizeof medium);
    std::snprintf(question, sizeof question, messageText(MSG_UNDO_WRITE), medium,
                  (unsigned long long)write.sector);
    return askToProceedWith(MSG_UNDO_WRITE, question);
}

// Another floppy in the same drive, another file under the same name, or
// sectors of another size are never written with what this record keeps.
bool holdsWrittenMedium(const WrittenSector& write)
{
    MediumIdentity now;
    if (!identifyMedium(write.source, nullptr, now)) {
        showMessage(MSG_SECTOR_READ_ERROR, MessageKind::Error);
        return false;
    }
    if (now.sectorSize == write.size && isSameMedium(now, write.medium)) return true;
    char medium[MEDIUM_NAME_SIZE], text[MEDIUM_NAME_SIZE + 256];
    nameMedium(write.source, write.medium.path, nullptr, medium, sizeof medium);
    std::snprintf(text, sizeof text, messageText(MSG_OTHER_MEDIUM), medium,
                  (unsigned long long)write.sector);
    showTextWithDetail(text, messageKind(MSG_OTHER_MEDIUM), nullptr);
    return false;
}

// Read, compared and written back in one hold of the device, which must
// still have the sectors the record was taken with: anything else and
// nothing is written.
bool writeBack(const WrittenSector& write, uint8_t* sector)
{
    if (!SectorIo::beginRun(SectorOp::Write, write.source, write.size, true)) {
        showMessage(MSG_SECTOR_READ_ERROR, MessageKind::Error);
        return false;
    }
    bool done = false;
    if (SectorIo::transfer(SectorOp::Read, write.source, 1, write.sector, sector) !=
        SECTOR_STATUS_OK) {
        showMessage(MSG_SECTOR_READ_ERROR, MessageKind::Error);
    } else if (std::memcmp(sector, write.after, write.size) != 0) {
        showSectorMessage(MSG_CHANGED_SINCE_WRITE, write.sector);
    } else {
        std::memcpy(sector, write.before, write.size);
        done = SectorIo::transfer(SectorOp::Write, write.source, 1, write.sector, sector) ==
               SECTOR_STATUS_OK;
        if (!done) showMessage(MSG_SECTOR_WRITE_ERROR, MessageKind::Error);
    }
    SectorIo::endRun(false);
    return done;
}

}  // namespace

void undoLastWrite()
{
    int index = newestWriteOf(editor.source, editor.imagePath);
    if (index < 0) return;
    const WrittenSector& write = writtenSectors.writes[index];
    if (write.source.kind == SourceKind::ImageFile && SectorIo::isImageReadOnly()) {
        showMessage(MSG_IMAGE_READ_ONLY, MessageKind::Error);
        return;
    }
    bool shown = editor.currentSector == write.sector;
    if (!askUndoWrite(write) || (shown && !askDiscardEdits())) return;
    alignas(SECTOR_BUFFER_ALIGNMENT) uint8_t sector[IMAGE_BUFFER_SIZE];
    if (!holdsWrittenMedium(write) || !writeBack(write, sector)) return;
    SectorNumber undone = write.sector;
    forgetWrittenSector(index);
    updateUndoWriteCommand();
    if (shown) {
        std::memcpy(editor.workBuffer, sector, editor.sectorSize);
        syncBuffers(SyncMode::Accept);
        platform.invalidate(nullptr);
    }
    showSectorMessage(MSG_WRITE_UNDONE, undone);
}
