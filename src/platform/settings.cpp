#include "platform/settings.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "platform/platform.h"

Settings settings;
char iniPath[SETTINGS_PATH_SIZE];
const char* const SETTINGS_SECTION = "OPTION";

namespace {

constexpr int32_t DEFAULT_FONT_SIZE = 2;
constexpr int32_t DEFAULT_READ_RETRIES = 2;
// Each retry of a dead sector can take seconds on a failing drive.
constexpr int32_t MAX_READ_RETRIES = 99;

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
    {"STATUSBAR", &Settings::statusBar, 1},
    {"STRUCTVIEW", &Settings::structureView, 0},
    {"STRUCTLEFT", &Settings::structureLeft, 640},
    {"STRUCTTOP", &Settings::structureTop, 0},
    {"STRUCTWIDTH", &Settings::structureWidth, 560},
    {"STRUCTHEIGHT", &Settings::structureHeight, 400},
    {"INSPECTVIEW", &Settings::inspectorView, 0},
    {"INSPECTLEFT", &Settings::inspectorLeft, 640},
    {"INSPECTTOP", &Settings::inspectorTop, 400},
    {"INSPECTWIDTH", &Settings::inspectorWidth, 360},
    {"INSPECTHEIGHT", &Settings::inspectorHeight, 480},
    {"READRETRY", &Settings::readRetries, DEFAULT_READ_RETRIES},
};

void computeIniPath()
{
    platform.getModuleFileName(iniPath, SETTINGS_PATH_SIZE);
    iniPath[SETTINGS_PATH_SIZE - 1] = '\0';
    size_t length = std::strlen(iniPath);
    size_t cut = length < 3 ? 0 : length - 3;
    std::snprintf(iniPath + cut, SETTINGS_PATH_SIZE - cut, "INI");
}

int32_t saturatedSum(int32_t a, int32_t b)
{
    return int32_t(std::clamp<int64_t>(int64_t(a) + b, INT32_MIN, INT32_MAX));
}

// A rectangle no screen shows (saved while minimized, or on a monitor since
// removed) would open a window nobody can see: it moves onto the primary
// screen, centred, at its saved size as far as the screen allows.
void bringOnScreen(int32_t& left, int32_t& top, int32_t& width, int32_t& height)
{
    int32_t right = saturatedSum(left, width);
    int32_t bottom = saturatedSum(top, height);
    if (right > left && bottom > top && platform.isOnScreen(left, top, right, bottom)) return;
    int32_t areaLeft = 0, areaTop = 0, areaRight = 0, areaBottom = 0;
    platform.getWorkArea(&areaLeft, &areaTop, &areaRight, &areaBottom);
    int32_t areaWidth = std::max(0, areaRight - areaLeft);
    int32_t areaHeight = std::max(0, areaBottom - areaTop);
    width = std::clamp(width, 0, areaWidth);
    height = std::clamp(height, 0, areaHeight);
    left = areaLeft + (areaWidth - width) / 2;
    top = areaTop + (areaHeight - height) / 2;
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
    if (settings.readRetries < 0 || settings.readRetries > MAX_READ_RETRIES)
        settings.readRetries = DEFAULT_READ_RETRIES;
    bringOnScreen(settings.windowLeft, settings.windowTop, settings.windowWidth,
                  settings.windowHeight);
    bringOnScreen(settings.structureLeft, settings.structureTop, settings.structureWidth,
                  settings.structureHeight);
    bringOnScreen(settings.inspectorLeft, settings.inspectorTop, settings.inspectorWidth,
                  settings.inspectorHeight);
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
