#pragma once
#include <windows.h>

// The report list views of the drive dialogs: headers, rows of texts, and
// columns as wide as their texts.
// A list dialog as it opens: its owner's icon, the list's headers, rows
// selected whole.
void prepareListDialog(HWND dialog, HWND list, const char* const* headers, int count);
// Headers of `count` columns, left-aligned, into a list that has none.
void insertListColumns(HWND list, const char* const* headers, int count);
// A row of `count` texts at `index`, with `image` (-1: none) and the row's
// index as its item parameter; its position in the list.
int insertListRow(HWND list, int index, int image, const char* const* texts, int count);
void sizeListColumns(HWND list, int count);
