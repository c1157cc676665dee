#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <string>
#include <vector>

#include "fake_platform.h"
#include "platform/settings.h"

namespace {

const char* const KEY_ORDER[] = {"TOP",         "BOTTOM",       "LEFT",         "RIGHT",
                                 "FONTSIZE",    "KANJI",        "OPTFLAG1",     "OPTFLAG2",
                                 "STATUSBAR",   "STRUCTVIEW",   "STRUCTLEFT",   "STRUCTTOP",
                                 "STRUCTWIDTH", "STRUCTHEIGHT", "INSPECTVIEW",  "INSPECTLEFT",
                                 "INSPECTTOP",  "INSPECTWIDTH", "INSPECTHEIGHT", "READRETRY"};
constexpr size_t KEY_COUNT = std::size(KEY_ORDER);

class SettingsFile : public ::testing::Test {
protected:
    void SetUp() override { installFakePlatform(); }
};

TEST_F(SettingsFile, NoFileGivesTheDefaults)
{
    loadSettings();
    EXPECT_EQ(settings.windowTop, 0);
    EXPECT_EQ(settings.windowLeft, 0);
    EXPECT_EQ(settings.windowWidth, 640);
    EXPECT_EQ(settings.windowHeight, 480);
    EXPECT_EQ(settings.fontSize, 2);
    EXPECT_EQ(settings.kanji, 1);
    EXPECT_EQ(settings.confirmSectorWrite, 1);
    EXPECT_EQ(settings.confirmDiscardEdits, 1);
    EXPECT_EQ(settings.statusBar, 1);
    EXPECT_EQ(settings.structureView, 0);
    EXPECT_EQ(settings.structureLeft, 640);
    EXPECT_EQ(settings.structureTop, 0);
    EXPECT_EQ(settings.structureWidth, 560);
    EXPECT_EQ(settings.structureHeight, 400);
    EXPECT_EQ(settings.inspectorView, 0);
    EXPECT_EQ(settings.inspectorLeft, 640);
    EXPECT_EQ(settings.inspectorTop, 400);
    EXPECT_EQ(settings.inspectorWidth, 360);
    EXPECT_EQ(settings.inspectorHeight, 480);
    EXPECT_EQ(settings.readRetries, 2);
    EXPECT_EQ(fake.profileReads, std::vector<std::string>(std::begin(KEY_ORDER),
                                                          std::end(KEY_ORDER)));
}

TEST_F(SettingsFile, IniPathCutsExactlyThreeCharacters)
{
    struct Case {
        const char* module;
        const char* ini;
    } cases[] = {
        {"C:\\VELDIS\\VELDIS.EXE", "C:\\VELDIS\\VELDIS.INI"},
        {"D:\\tools\\other name.exe", "D:\\tools\\other name.INI"},
        {"C:\\a\\prog.ex", "C:\\a\\progINI"},
        {"C:\\a\\prog.exec", "C:\\a\\prog.eINI"},
        {"ab", "INI"},
        {"", "INI"},
    };
    for (const Case& c : cases) {
        fake.modulePath = c.module;
        loadSettings();
        EXPECT_STREQ(iniPath, c.ini) << c.module;
    }
}

TEST_F(SettingsFile, APathThatFillsTheBufferStaysInIt)
{
    fake.modulePath = "C:\\" + std::string(300, 'x') + ".EXE";
    loadSettings();
    EXPECT_EQ(std::string(iniPath).size(), SETTINGS_PATH_SIZE - 1);
    EXPECT_EQ(std::string(iniPath).substr(SETTINGS_PATH_SIZE - 4), "INI");
}

TEST_F(SettingsFile, SaveWritesTheWindowAndTheRestInOrder)
{
    loadSettings();
    settings.fontSize = 4;
    settings.kanji = 0;
    settings.confirmSectorWrite = 0;
    settings.confirmDiscardEdits = -7;
    settings.statusBar = 0;
    settings.structureView = 1;
    settings.structureLeft = 900, settings.structureTop = 70;
    settings.structureWidth = 300, settings.structureHeight = 500;
    settings.inspectorView = 1;
    settings.inspectorLeft = 20, settings.inspectorTop = 30;
    settings.inspectorWidth = 250, settings.inspectorHeight = 600;
    settings.readRetries = 5;
    // A window moved to (100, 50) and sized 800 x 600.
    fake.window[0] = 100, fake.window[1] = 50, fake.window[2] = 900, fake.window[3] = 650;
    saveSettings();
    const char* values[] = {"50",  "600", "100", "800", "4", "0",  "0",  "-7",  "0",  "1",
                            "900", "70",  "300", "500", "1", "20", "30", "250", "600", "5"};
    ASSERT_EQ(fake.profileWrites.size(), KEY_COUNT);
    for (size_t i = 0; i < KEY_COUNT; i++) {
        EXPECT_EQ(fake.profileWrites[i].section, "OPTION");
        EXPECT_EQ(fake.profileWrites[i].key, KEY_ORDER[i]);
        EXPECT_EQ(fake.profileWrites[i].value, values[i]) << KEY_ORDER[i];
        EXPECT_EQ(fake.profileWrites[i].path, "C:\\VELDIS\\VELDIS.INI");
    }

    settings = Settings{};
    loadSettings();
    EXPECT_EQ(settings.windowTop, 50);
    EXPECT_EQ(settings.windowHeight, 600);
    EXPECT_EQ(settings.windowLeft, 100);
    EXPECT_EQ(settings.windowWidth, 800);
    EXPECT_EQ(settings.fontSize, 4);
    EXPECT_EQ(settings.confirmDiscardEdits, -7);
    EXPECT_EQ(settings.statusBar, 0);
    EXPECT_EQ(settings.structureView, 1);
    EXPECT_EQ(settings.structureLeft, 900);
    EXPECT_EQ(settings.structureTop, 70);
    EXPECT_EQ(settings.structureWidth, 300);
    EXPECT_EQ(settings.structureHeight, 500);
    EXPECT_EQ(settings.inspectorView, 1);
    EXPECT_EQ(settings.inspectorLeft, 20);
    EXPECT_EQ(settings.inspectorTop, 30);
    EXPECT_EQ(settings.inspectorWidth, 250);
    EXPECT_EQ(settings.inspectorHeight, 600);
    EXPECT_EQ(settings.readRetries, 5);
}

TEST_F(SettingsFile, ANumberOutsideItsRangeFallsBackToItsDefault)
{
    struct Row {
        const char* key;
        int32_t Settings::*field;
        int32_t defaultValue;
        std::vector<const char*> outside, inside;
    };
    const Row ROWS[] = {
        {"OPTION/FONTSIZE", &Settings::fontSize, 2, {"5", "-1", "2147483647", "99"}, {"0", "4"}},
        {"OPTION/READRETRY", &Settings::readRetries, 2, {"-1", "100", "-2147483648"}, {"0", "99"}},
    };
    for (const Row& row : ROWS) {
        for (const char* text : row.outside) {
            fake.profile[row.key] = text;
            loadSettings();
            EXPECT_EQ(settings.*row.field, row.defaultValue) << row.key << " " << text;
        }
        for (const char* text : row.inside) {
            fake.profile[row.key] = text;
            loadSettings();
            EXPECT_EQ(settings.*row.field, std::atoi(text)) << row.key;
        }
        fake.profile.erase(row.key);
    }
    // Other values are kept as the reader gives them.
    fake.profile["OPTION/KANJI"] = "17";
    fake.profile["OPTION/OPTFLAG1"] = "junk";
    loadSettings();
    EXPECT_EQ(settings.kanji, 17);
    EXPECT_EQ(settings.confirmSectorWrite, 0);
}

// TOP, BOTTOM (a height), LEFT, RIGHT (a width) as the file holds them, and
// as the window opens with a screen of 1280 x 1024 whose taskbar takes the
// top 40 pixels; the structure view's and the data inspector's rectangles
// likewise.
TEST_F(SettingsFile, AWindowNoScreenShowsMovesOntoThePrimaryScreen)
{
    fake.workArea[1] = 40, fake.workArea[3] = 1024;
    struct Case {
        const char* what;
        int32_t saved[4], opened[4];
    } cases[] = {
        {"on the screen", {50, 600, 100, 800}, {50, 600, 100, 800}},
        {"partly on it", {-500, 600, -700, 800}, {-500, 600, -700, 800}},
        {"saved minimized", {-32000, 28, -32000, 160}, {518, 28, 560, 160}},
        {"on a screen gone", {100, 600, 5000, 800}, {232, 600, 240, 800}},
        {"larger than the screen", {3000, 3000, 3000, 4000}, {40, 984, 0, 1280}},
        {"no size", {100, -50, 100, -50}, {532, 0, 640, 0}},
        {"at the end of the numbers", {INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX},
         {40, 984, 0, 1280}},
    };
    const char* const STRUCTURE_KEYS[] = {"STRUCTTOP", "STRUCTHEIGHT", "STRUCTLEFT",
                                          "STRUCTWIDTH"};
    const char* const INSPECTOR_KEYS[] = {"INSPECTTOP", "INSPECTHEIGHT", "INSPECTLEFT",
                                          "INSPECTWIDTH"};
    for (const Case& c : cases) {
        for (int i = 0; i < 4; i++) {
            std::string saved = std::to_string(c.saved[i]);
            fake.profile[std::string("OPTION/") + KEY_ORDER[i]] = saved;
            fake.profile[std::string("OPTION/") + STRUCTURE_KEYS[i]] = saved;
            fake.profile[std::string("OPTION/") + INSPECTOR_KEYS[i]] = saved;
        }
        loadSettings();
        int32_t opened[] = {settings.windowTop, settings.windowHeight, settings.windowLeft,
                            settings.windowWidth};
        EXPECT_TRUE(std::equal(opened, opened + 4, c.opened)) << c.what;
        int32_t view[] = {settings.structureTop, settings.structureHeight,
                          settings.structureLeft, settings.structureWidth};
        EXPECT_TRUE(std::equal(view, view + 4, c.opened)) << "the view " << c.what;
        int32_t inspector[] = {settings.inspectorTop, settings.inspectorHeight,
                               settings.inspectorLeft, settings.inspectorWidth};
        EXPECT_TRUE(std::equal(inspector, inspector + 4, c.opened)) << "the inspector " << c.what;
    }
}

TEST(OptionsModel, OkTakesTheBoxesAndCancelTakesNothing)
{
    installFakePlatform();
    loadSettings();
    OptionsChoice choice = currentOptions();
    EXPECT_TRUE(choice.confirmSectorWrite);
    EXPECT_TRUE(choice.confirmDiscardEdits);

    // Cancel: the dialog closes without calling acceptOptions.
    choice.confirmSectorWrite = false;
    EXPECT_EQ(settings.confirmSectorWrite, 1);

    acceptOptions({false, false});
    EXPECT_EQ(settings.confirmSectorWrite, 0);
    EXPECT_EQ(settings.confirmDiscardEdits, 0);
    EXPECT_FALSE(currentOptions().confirmSectorWrite);

    settings.confirmDiscardEdits = 5;  // any nonzero value from the file is "on"
    EXPECT_TRUE(currentOptions().confirmDiscardEdits);
    acceptOptions(currentOptions());
    EXPECT_EQ(settings.confirmDiscardEdits, 1);
}

}  // namespace
