#pragma once

// Ctrl+L: a file's bytes in place of the sector shown, as edits to write or
// revert (a shorter file leaves zeros after its end). The caller asks the
// discard question first.
void loadSectorFile();

// Ctrl+S: the sector as shown, edits included, into a file of its size.
void saveSectorFile();
