#pragma once
#include <cstdint>

// The user's settings, kept in the INI file beside the executable.
struct Settings {
    int32_t windowTop;
    int32_t windowHeight;  // key "BOTTOM"
    int32_t windowLeft;
    int32_t windowWidth;   // key "RIGHT"
    int32_t fontSize;      // 0 smallest .. 4 largest
    int32_t kanji;
    int32_t confirmSectorWrite;
    int32_t confirmDiscardEdits;
    int32_t statusBar;  // shown under the dump when nonzero
    // The structure view: shown when nonzero, and its window's place.
    int32_t structureView;
    int32_t structureLeft;
    int32_t structureTop;
    int32_t structureWidth;
    int32_t structureHeight;
    // The data inspector, likewise.
    int32_t inspectorView;
    int32_t inspectorLeft;
    int32_t inspectorTop;
    int32_t inspectorWidth;
    int32_t inspectorHeight;
    // How many more times an unreadable sector is read before an image
    // save fills it with zeros.
    int32_t readRetries;
};

extern Settings settings;

constexpr uint32_t SETTINGS_PATH_SIZE = 261;
// Font size indexes run from 0 (smallest) to FONT_SIZE_COUNT - 1 (largest).
constexpr int FONT_SIZE_COUNT = 5;
extern const char* const SETTINGS_SECTION;

// The executable's path with its last three characters replaced by "INI".
extern char iniPath[SETTINGS_PATH_SIZE];

// Reads the file; a window rectangle that no screen shows is moved onto the
// primary screen.
void loadSettings();
// Stores the main window's current rectangle with the other settings.
void saveSettings();

// The Options dialog's two check boxes.
struct OptionsChoice {
    bool confirmSectorWrite;
    bool confirmDiscardEdits;
};

OptionsChoice currentOptions();
void acceptOptions(const OptionsChoice& choice);
