#pragma once
#include <cstdint>

// The data inspector: the bytes at the caret read as numbers of each width,
// signed and unsigned, both byte orders, and as the time stamps disks hold.
// A value that would run past the sector's end is left empty; its row stays.
constexpr int INSPECTOR_ROW_COUNT = 25;
constexpr uint32_t INSPECTOR_VALUE_SIZE = 48;
constexpr int INSPECTOR_COLUMN_COUNT = 2;

extern const char* const INSPECTOR_HEADERS[INSPECTOR_COLUMN_COUNT];

struct InspectorRows {
    char values[INSPECTOR_ROW_COUNT][INSPECTOR_VALUE_SIZE];
};

// The caret's bytes of the sector shown, as edited, as last handed to the
// window; all empty while no sector is shown.
extern InspectorRows inspectorRows;

const char* inspectorRowName(int row);

// The rows for the `available` bytes from `bytes` up to the sector's end.
void inspectBytes(const uint8_t* bytes, uint32_t available, InspectorRows& rows);

// Reads the caret's bytes again and hands the rows to the window, where the
// inspector is on.
void showInspector();

// The window shown or hidden, as 表示 → ﾃﾞｰﾀ ｲﾝｽﾍﾟｸﾀ toggles it.
void toggleDataInspector();
