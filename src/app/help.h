#pragma once
#include <cstddef>

// Where F1 leads: the old help engine where its file stands beside the exe
// (Windows before Vista), else the manual beside the exe in the browser.
enum class HelpRoute { HelpEngine, Manual };

constexpr const char* HELP_FILE_NAME = "VELDIS.HLP";
constexpr const char* MANUAL_FILE_NAME = "VELDIS.HTM";

// `path` gets the full path of the file the route opens.
HelpRoute chooseHelp(char* path, size_t size);

// Help that could not be opened is said, with the file's path: F1 never
// shows nothing.
void reportHelpUnopened(const char* path);
