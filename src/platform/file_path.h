#pragma once
#include <cstdint>

constexpr uint32_t FILE_PATH_SIZE = 260;

// The path of the last file command, whichever it was: every file dialog
// opens on it, and the image runs take their file field into it.
extern char lastFilePath[FILE_PATH_SIZE];
