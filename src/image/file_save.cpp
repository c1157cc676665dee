#include "image/file_save.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "disk/sector_run.h"
#include "editor/editor_state.h"
#include "editor/sector_structure.h"
#include "image/drive_image.h"
#include "platform/files.h"
#include "platform/messages.h"
#include "platform/platform.h"
#include "volume/cluster.h"
#include "volume/fat_chain.h"

FileSaveRequest fileSaveRequest;

namespace {

FatReader fat;

const FileChoice ANY_FILE_CHOICE = {
    FileDialog::Save,
    "All files {*.*}\0*.*\0",
    nullptr,
};

// Characters no short name holds.
bool mayBeginShortName(uint8_t c)
{
    if (c >= 0xA1 && c <= 0xDF) return true;  // half-width katakana
    if (c <= 0x20 || c >= 0x7F) return false;
    return std::strchr("\"*+,./:;<=>?[\\]|", c) == nullptr;
}

// The long name where it reads whole in Shift-JIS, else the short one with
// its first character as asked.
void offeredName(char* name, uint32_t size)
{
    const DirectoryEntry& entry = fileSaveRequest.entry;
    bool longValid = entry.longLength > 0 && entry.longCheck == LongNameCheck::Valid;
    if (longValid && platform.utf16ToShiftJis(entry.longName, entry.longLength, name, size) &&
        isPlainFileName(name))
        return;
    std::snprintf(name, size, "%s", fileSaveRequest.shortName);
    if (entry.deleted && name[0] != '\0') name[0] = fileSaveRequest.firstCharacter[0];
}

// The dialog opens in the last file's folder, on the entry's name; a name
// that would not fit beside the folder is offered alone.
void offerNameInLastFolder(const char* name)
{
    char* end = lastFilePath + (fileNameOf(lastFilePath) - lastFilePath);
    size_t room = FILE_PATH_SIZE - size_t(end - lastFilePath);
    if (std::strlen(name) >= room) {
        end = lastFilePath;
        room = FILE_PATH_SIZE;
    }
    std::memcpy(end, name, std::min(std::strlen(name) + 1, room));
    lastFilePath[FILE_PATH_SIZE - 1] = '\0';
}

}  // namespace

FileSaveStep beginFileSave()
{
    DirectoryEntry& entry = fileSaveRequest.entry;
    if (!entryUnderCaret(entry) || entry.kind != EntryKind::File) {
        showMessage(MSG_NO_FILE_ENTRY, MessageKind::Warning);
        return FileSaveStep::Ended;
    }
    formatShortName(entry, fileSaveRequest.shortName);
    if (!entry.deleted) return FileSaveStep::ChooseFile;
    char guess = mayBeginShortName(entry.guessedFirst) ? char(entry.guessedFirst) : '_';
    fileSaveRequest.firstCharacter[0] = guess;
    fileSaveRequest.firstCharacter[1] = '\0';
    return FileSaveStep::AskFirstCharacter;
}

bool acceptFirstCharacter(const char* text)
{
    uint8_t c = uint8_t(text[0]);
    if (c >= 'a' && c <= 'z') c = uint8_t(c - 'a' + 'A');
    if (text[0] == '\0' || text[1] != '\0' || !mayBeginShortName(c)) {
        showMessage(MSG_BAD_PARAMETER, MessageKind::Error);
        return false;
    }
    fileSaveRequest.firstCharacter[0] = char(c);
    fileSaveRequest.firstCharacter[1] = '\0';
    fileSaveRequest.shortName[0] = char(c);
    return true;
}

bool chooseSavedFile()
{
    char name[FILE_PATH_SIZE];
    offeredName(name, sizeof name);
    offerNameInLastFolder(name);
    if (!platform.chooseFile(ANY_FILE_CHOICE)) return false;
    // Written onto the drive it is read from, the file could take the very
    // free clusters a deleted file is still to be read from.
    if (fileSaveRequest.entry.deleted && isFileOnSource(lastFilePath, editor.source)) {
        showMessage(MSG_RECOVER_ON_SOURCE, MessageKind::Error);
        return false;
    }
    return true;
}

namespace {

// Why the walk ended, naming the last cluster read where it helps.
void describeStop(ChainStop stop, uint32_t last, uint32_t next, char* text, size_t size)
{
    switch (stop) {
    case ChainStop::Loop:
        std::snprintf(text, size, "クラスタ %lu の次が、すでに読んだクラスタ %lu です（ループ）。",
                      (unsigned long)last, (unsigned long)next);
        break;
    case ChainStop::OutsideVolume:
        std::snprintf(text, size, "クラスタ %lu の次が、ボリュームにないクラスタです。",
                      (unsigned long)last);
        break;
    case ChainStop::FreeCluster:
        std::snprintf(text, size, "クラスタ %lu の次が、空きクラスタです。", (unsigned long)last);
        break;
    case ChainStop::BadCluster:
        std::snprintf(text, size, "クラスタ %lu の次が、不良クラスタです。", (unsigned long)last);
        break;
    case ChainStop::EndedEarly:
        std::snprintf(text, size, "%s",
                      "ファイルの大きさに達する前に、クラスタのチェーンが終わっています。");
        break;
    case ChainStop::InUse:
        std::snprintf(text, size, "クラスタ %lu は、ほかのファイルが使っています。",
                      (unsigned long)next);
        break;
    default: std::snprintf(text, size, "FATが読めませんでした。"); break;
    }
}

struct SaveRun {
    void* file;
    uint64_t size;
    uint64_t written;
    uint32_t lastCluster;
    RunProgress progress;
};

// A run's sectors, as far as the file still needs them, in transfers the
// route takes.
RunResult saveClusters(SaveRun& save, const ClusterRun& run, RunBuffer& buffer, uint32_t chunk)
{
    const VolumeLayout& layout = editorWindow.layout;
    uint32_t sectorSize = layout.bytesPerSector;
    SectorNumber first = clusterFirstSector(layout, run.first);
    uint64_t runBytes = uint64_t(run.count) * layout.sectorsPerCluster * sectorSize;
    uint64_t wanted = std::min<uint64_t>(runBytes, save.size - save.written);
    SectorNumber sectors = (wanted + sectorSize - 1) / sectorSize;
    if (first >= layout.totalSectors || sectors > layout.totalSectors - first)
        return {RunOutcome::Refused, MSG_FILE_CHAIN_BROKEN, 0};
    for (SectorNumber done = 0; done < sectors;) {
        uint32_t step = uint32_t(std::min<SectorNumber>(chunk, sectors - done));
        SectorNumber sector = editorWindow.firstSector + first + done;
        if (SectorIo::transfer(SectorOp::Read, editor.source, step, sector, buffer.bytes) !=
            SECTOR_STATUS_OK)
            return {RunOutcome::Failed, MSG_SECTOR_UNREADABLE, 0, sector};
        uint32_t bytes = uint32_t(std::min<uint64_t>(uint64_t(step) * sectorSize,
                                                     save.size - save.written));
        if (!platform.writeFile(save.file, buffer.bytes, bytes))
            return {RunOutcome::Failed, MSG_FILE_WRITE_ERROR, 0};
        save.written += bytes;
        done += step;
        showRunProgress(save.progress, save.written, save.size);
        if (save.written < save.size && !platform.continueRun())
            return {RunOutcome::Stopped, MSG_RUN_STOPPED, 0};
    }
    save.lastCluster = run.first + run.count - 1;
    return {RunOutcome::Done, MSG_DONE, 0};
}

RunResult saveChain(SaveRun& save, ChainWalk& walk)
{
    const VolumeLayout& layout = editorWindow.layout;
    uint32_t chunk = runChunkSectors(layout.bytesPerSector);
    RunBuffer buffer(chunk * layout.bytesPerSector);
    if (buffer.bytes == nullptr) return {RunOutcome::Failed, MSG_OUT_OF_MEMORY, 0};
    uint32_t maxClusters = std::max<uint32_t>(chunk / layout.sectorsPerCluster, 1);
    ClusterRun run;
    while (nextClusterRun(walk, maxClusters, run)) {
        RunResult result = saveClusters(save, run, buffer, chunk);
        // Sectors past the volume's end are never read: the chain left it.
        if (result.end == RunOutcome::Refused) {
            walk.stop = ChainStop::OutsideVolume;
            break;
        }
        if (result.end != RunOutcome::Done) return result;
    }
    return {RunOutcome::Done, MSG_DONE, 0};
}

// The part read of a broken chain is the user's to keep or not.
bool keepsPartOfFile(const SaveRun& save, const ChainWalk& walk)
{
    char why[256], size[32], written[32], text[768];
    describeStop(walk.stop, save.lastCluster, walk.next, why, sizeof why);
    std::snprintf(size, sizeof size, "%llu", (unsigned long long)save.size);
    std::snprintf(written, sizeof written, "%llu", (unsigned long long)save.written);
    std::snprintf(text, sizeof text, messageText(MSG_FILE_CHAIN_BROKEN), why, size, written);
    return showTextWithDetail(text, messageKind(MSG_FILE_CHAIN_BROKEN), nullptr) == ANSWER_YES;
}

}  // namespace

void runFileSave()
{
    const DirectoryEntry& entry = fileSaveRequest.entry;
    void* file = platform.createFile(lastFilePath);
    if (file == nullptr) {
        showMessage(MSG_FILE_OPEN_ERROR, MessageKind::Error);
        return;
    }
    SaveRun save = {file, entry.size, 0, entry.firstCluster, {}};
    openFatReader(fat, editor.source, editorWindow.firstSector, editorWindow.layout);
    ChainWalk walk;
    beginChainWalk(walk, fat, entry.firstCluster, entry.size, entry.deleted);
    bool held = SectorIo::beginRun(SectorOp::Read, editor.source, editor.sectorSize, false);
    RunResult result = held ? saveChain(save, walk)
                            : RunResult{RunOutcome::Failed, MSG_SECTOR_READ_ERROR, 0};
    if (held) SectorIo::endRun(false);
    platform.closeFile(file);
    bool broken = result.end == RunOutcome::Done && walk.stop != ChainStop::Complete;
    if (walk.stop == ChainStop::NoMemory) result = {RunOutcome::Failed, MSG_OUT_OF_MEMORY, 0};
    endChainWalk(walk);
    if (broken && result.end == RunOutcome::Done) {
        if (!keepsPartOfFile(save, walk)) platform.deleteFile(lastFilePath);
        return;
    }
    // Part of a file under its name would pass for the whole of it.
    if (result.end != RunOutcome::Done) platform.deleteFile(lastFilePath);
    reportRunEnd(result, nullptr);
}
