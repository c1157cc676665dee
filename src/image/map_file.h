#pragma once
#include <cstddef>
#include <cstdint>

#include "image/rescue_map.h"

// The map file of an image is the image's path with ".map" added.
constexpr size_t MAP_PATH_SIZE = 264;
void mapPathOf(const char* imagePath, char* mapPath);

enum class MapFileState {
    Absent,
    Read,
    Unreadable,  // there, but no map of whole `sectorSize`-byte sectors
};
MapFileState readMapFile(const char* mapPath, uint32_t sectorSize, RescueMap& map);
// The whole file written afresh; false when it could not be.
bool writeMapFile(const char* mapPath, const RescueMap& map);
void showMapUnreadable(const char* mapPath);
