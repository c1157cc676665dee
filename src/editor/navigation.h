#pragma once
#include <cstdint>

// Shows `sector` of `drive`: true when it is now shown; false when nothing
// changed (the user kept the edits, or the drive or its volume failed).
bool loadSector(int drive, uint32_t sector);

// Moves for the navigation commands (previous, next, the area jumps, Back,
// Refresh); false for any other command.
bool navigate(int command);
