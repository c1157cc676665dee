#include "platform/settings.h"

#include <cstdio>
#include <cstring>

#include "platform/platform.h"

Settings settings;
char iniPath[SETTINGS_PATH_SIZE];
const char* const SETTINGS_SECTION = "OPTION";

namespace {

constexpr int32_t DEFAULT_FONT_SIZE = 2;

// The keys in the order they are read and written, with their defaults.
struct SettingKey {
    const char* key;
    int32_t Settings::*field;
    int32_t defaultValue;
};

constexpr SettingKey SETTING_KEYS[] = {
    {"TOP", &Settings::windowTop, 0},
    {"BOTTOM", &Settings::windowHeight, 480},
    {"LEFT", &Settings::windowLeft, 0},
    {"RIGHT", &Settings::windowWidth, 640},
    {"FONTSIZE", &Settings::fontSize, DEFAULT_FONT_SIZE},
    {"KANJI", &Settings::kanji, 1},
    {"OPTFLAG1", &Settings::confirmSectorWrite, 1},
    {"OPTFLAG2", &Settings::confirmDiscardEdits, 1},
};

void computeIniPath()
{
    platform.getModuleFileName(iniPath, SETTINGS_PATH_SIZE);
    iniPath[SETTINGS_PATH_SIZE - 1] = '\0';
    size_t length = std::strlen(iniPath);
    size_t cut = length < 3 ? 0 : length - 3;
    std::snprintf(iniPath + cut, SETTINGS_PATH_SIZE - cut, "INI");
}

}  // namespace

void loadSettings()
{
    computeIniPath();
    for (const SettingKey& k : SETTING_KEYS)
        settings.*k.field = platform.getProfileInt(SETTINGS_SECTION, k.key, k.defaultValue, iniPath);
    // The font metrics have five rows; the file may hold anything.
    if (settings.fontSize < 0 || settings.fontSize >= FONT_SIZE_COUNT)
        settings.fontSize = DEFAULT_FONT_SIZE;
}

void saveSettings()
{
    int32_t left = 0, top = 0, right = 0, bottom = 0;
    platform.getMainWindowRect(&left, &top, &right, &bottom);
    settings.windowTop = top;
    settings.windowHeight = bottom - top;
    settings.windowLeft = left;
    settings.windowWidth = right - left;
    for (const SettingKey& k : SETTING_KEYS) {
        char value[32];
        std::snprintf(value, sizeof value, "%d", int(settings.*k.field));
        platform.writeProfileString(SETTINGS_SECTION, k.key, value, iniPath);
    }
}

OptionsChoice currentOptions()
{
    return {settings.confirmSectorWrite != 0, settings.confirmDiscardEdits != 0};
}

void acceptOptions(const OptionsChoice& choice)
{
    settings.confirmSectorWrite = choice.confirmSectorWrite ? 1 : 0;
    settings.confirmDiscardEdits = choice.confirmDiscardEdits ? 1 : 0;
}
