#pragma once

// The ways selected bytes go onto the clipboard: hex ("41 42 43", 16 bytes
// to a line), the characters the dump shows for them, or a C array.
enum class CopyForm {
    Hex,
    Text,
    CArray,
};

void copySelection(CopyForm form);

// The clipboard's hex bytes (see parseHexBytes) over the shown sector from
// the selection's first byte, or the caret's without one, as one edit; they
// are then the selection. Refused with a message, nothing changed, when the
// text is no hex or runs past the sector's end.
void pasteHex();
