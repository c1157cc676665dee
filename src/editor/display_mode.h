#pragma once

// Sets the dump's font size (0 smallest .. 4 largest): the view returns to the
// top left and the scroll bars and caret follow the new metrics.
void applyFontSize(int index);
// The font size index a font size command chooses, -1 for any other command.
int fontSizeOfCommand(int id);
// The character column: single-byte (0) or Shift-JIS (nonzero).
void setKanjiMode(int on);
