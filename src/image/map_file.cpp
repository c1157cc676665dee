#include "image/map_file.h"

#include <cstdio>
#include <cstdlib>

#include "platform/messages.h"
#include "platform/platform.h"

namespace {

// Far more than a map of every other sector of a large disk needs, and
// little enough to hold in memory.
constexpr uint64_t MAP_FILE_MAX_BYTES = 64u << 20;

}  // namespace

void mapPathOf(const char* imagePath, char* mapPath)
{
    std::snprintf(mapPath, MAP_PATH_SIZE, "%s.map", imagePath);
}

MapFileState readMapFile(const char* mapPath, uint32_t sectorSize, RescueMap& map)
{
    if (!platform.fileExists(mapPath)) return MapFileState::Absent;
    void* file = platform.openFile(mapPath);
    if (file == nullptr) return MapFileState::Unreadable;
    uint64_t size = 0;
    char* text = nullptr;
    bool read = platform.getFileSize(file, &size) && size <= MAP_FILE_MAX_BYTES &&
                (text = static_cast<char*>(std::malloc(size_t(size) + 1))) != nullptr &&
                platform.readFile(file, text, uint32_t(size));
    platform.closeFile(file);
    read = read && parseMap(text, size_t(size), sectorSize, map);
    std::free(text);
    return read ? MapFileState::Read : MapFileState::Unreadable;
}

bool writeMapFile(const char* mapPath, const RescueMap& map)
{
    size_t length = 0;
    char* text = formatMap(map, length);
    if (text == nullptr) return false;
    void* file = platform.createFile(mapPath);
    bool written = file != nullptr && platform.writeFile(file, text, uint32_t(length));
    if (file != nullptr) platform.closeFile(file);
    std::free(text);
    return written;
}

void showMapUnreadable(const char* mapPath)
{
    char text[512];
    std::snprintf(text, sizeof text, messageText(MSG_MAP_UNREADABLE), mapPath);
    showTextWithDetail(text, messageKind(MSG_MAP_UNREADABLE), nullptr);
}
