#pragma once
#include <cstdint>

#include "editor/structure_rows.h"
#include "volume/directory.h"

// Decodes the shown sector again where it, its bytes or its source changed
// since the last time, and marks the row under the caret; then hands the
// rows to the window when the view is up.
void showStructure();

// The data cluster Enter showed as a directory: its sectors decode as one
// whether or not they look like one. 0 for none.
void noteEnteredDirectory(uint32_t cluster);

// The directory entry under the caret (or named by the long name part under
// it), where the shown sector reads as a directory; false for none.
bool entryUnderCaret(DirectoryEntry& entry);

// The view shown or hidden, as 表示 → ｾｸﾀの構造 toggles it.
void toggleStructureView();
