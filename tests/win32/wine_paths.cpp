#include "wine_paths.h"

#include <cstdlib>

std::string winePathFromEnvironment(const char* variable)
{
    const char* path = std::getenv(variable);
    if (path == nullptr) return {};
    std::string windows = std::string("Z:") + path;
    for (char& c : windows)
        if (c == '/') c = '\\';
    return windows;
}
