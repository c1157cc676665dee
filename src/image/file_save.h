#pragma once
#include <cstdint>

#include "volume/directory.h"

// The file a directory entry names, as ﾌｧｲﾙとして保存 saves it: the entry
// under the caret of a directory sector.
struct FileSaveRequest {
    DirectoryEntry entry;
    char shortName[SHORT_NAME_TEXT_SIZE];  // as the directory shows it, '?' first where deleted
    char firstCharacter[3];   // a deleted entry's, as asked; its guess at first
};

extern FileSaveRequest fileSaveRequest;

enum class FileSaveStep {
    Ended,              // nothing to save, with the message shown
    AskFirstCharacter,  // a deleted entry: its first character is asked first
    ChooseFile,
};

// ﾌｧｲﾙとして保存 begins with the entry under the caret.
FileSaveStep beginFileSave();

// The deleted entry's first character, as typed: one character that may begin
// a short name (a letter is made capital). False, with the message, otherwise.
bool acceptFirstCharacter(const char* text);

// The save dialog on the entry's name: false when cancelled or refused (a
// deleted file is never written to the drive it is read from).
bool chooseSavedFile();

// Reads the file's clusters into the chosen file, in runs of contiguous
// clusters, with the run's progress and stop. A chain that goes wrong before
// the file's size is reached is named, and the part read is kept only when
// the user says so; a stopped or failed run leaves no file behind.
void runFileSave();
