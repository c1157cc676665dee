#pragma once
#include <cstdint>

// What a row of the structure view does when the user picks it.

// A row chosen puts the caret on its first byte.
void selectStructureRow(int32_t row);
// Enter on a row shows its target sector; false where it has none or the
// sector could not be shown.
bool openStructureRow(int32_t row);
