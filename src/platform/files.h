#pragma once
#include <cstdint>

#include "platform/platform.h"

constexpr uint32_t FILE_PATH_SIZE = 260;

// The path of the last file command, whichever it was: every file dialog
// opens on it, and the image runs take their file field into it.
extern char lastFilePath[FILE_PATH_SIZE];

// A file command's dialog: on the remembered path's folder and base name
// with the command's own extension, so that a name proposed to one command
// is never an existing file of another kind. False when cancelled.
bool chooseFileOfKind(const FileChoice& choice);

// Whether the byte begins a two-byte Shift-JIS character.
bool isShiftJisLead(uint8_t byte);

// A name from outside (a disk's directory) that is a file name and nothing
// more: no folder or device punctuation, no control characters.
bool isPlainFileName(const char* name);

// The file name of `path`, after its last folder.
const char* fileNameOf(const char* path);

// Writes `size` bytes as the whole of the file at `path`, replacing it. A
// file that cannot be created, or is cut short, says so; one cut short is
// removed rather than left to pass for the whole.
bool writeWholeFile(const char* path, const void* data, uint32_t size);

// A path that names a device, not a file: the device namespace (\\.\D:,
// \\?\GLOBALROOT\…, \??\…) or a DOS device name (CON, NUL, COM1, LPT1, …, in
// any folder, with any extension). Such a path is never an image file.
bool isDevicePath(const char* path);

// The drive (0 = A) of the file's full path; -1 where it names none (a
// network path, or a path the system cannot complete).
int driveOfFile(const char* path);
