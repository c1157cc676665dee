#pragma once
#include <string>

// The Windows path, through Wine's Z: drive, of the Unix path held in the
// environment variable `variable`; empty when it is not set.
std::string winePathFromEnvironment(const char* variable);
