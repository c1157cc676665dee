#pragma once
#include <cstddef>

// Where F1 leads: the old help engine where its file stands beside the exe
// (Windows before Vista), else the manual beside the exe in the browser.
enum class HelpRoute { HelpEngine, Manual };

constexpr const char* HELP_FILE_NAME = "VELDIS.HLP";
constexpr const char* MANUAL_FILE_NAME = "VELDIS.HTM";

// `manualPath` gets the manual's full path when the route is Manual.
HelpRoute chooseHelp(char* manualPath, size_t size);
