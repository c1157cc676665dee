#pragma once

#include "editor/value_text.h"

// The value edit of the `valueEdit.width` bytes at the cursor, little-endian.
// Opening: the value and its texts from the working buffer.
void beginValueEdit();
// OK: the decimal box's reading stored at the cursor.
void storeEditedValue(const char* decimalBoxText);
// After OK or Cancel alike: the modified state, the view and the caret anew.
void closeValueEdit();
