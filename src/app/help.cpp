#include "app/help.h"

#include <cstdio>
#include <cstring>

#include "platform/files.h"
#include "platform/messages.h"
#include "platform/platform.h"

namespace {

// The exe's folder with `name` in place of the exe's own name.
void besideTheExe(const char* name, char* path, size_t size)
{
    char module[FILE_PATH_SIZE] = "";
    platform.getModuleFileName(module, FILE_PATH_SIZE);
    module[FILE_PATH_SIZE - 1] = '\0';
    const char* slash = std::strrchr(module, '\\');
    int folder = slash == nullptr ? 0 : int(slash - module + 1);
    std::snprintf(path, size, "%.*s%s", folder, module, name);
}

}  // namespace

HelpRoute chooseHelp(char* path, size_t size)
{
    besideTheExe(HELP_FILE_NAME, path, size);
    if (platform.fileExists(path)) return HelpRoute::HelpEngine;
    besideTheExe(MANUAL_FILE_NAME, path, size);
    return HelpRoute::Manual;
}

void reportHelpUnopened(const char* path)
{
    char text[FILE_PATH_SIZE + 64];
    std::snprintf(text, sizeof text, messageText(MSG_MANUAL_UNOPENED), path);
    showTextWithDetail(text, messageKind(MSG_MANUAL_UNOPENED), nullptr);
}
