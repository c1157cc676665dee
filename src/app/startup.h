#pragma once
#include "disk/access_method.h"

constexpr int STARTUP_GO_ON = -1;
constexpr int EXIT_UNSUPPORTED_OS = 1;

// Stores the access method and tells the user what it means: an unsupported
// system ends the program, missing administrator rights only warn. Returns
// the exit code to end with, or STARTUP_GO_ON.
int checkStartup(AccessMethod method);
