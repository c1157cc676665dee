#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "app/help.h"
#include "app/platform_win32.h"
#include "dialog_template.h"
#include "wine_paths.h"

namespace {

// The manual beside the exe, where the build puts it for F1.
std::string manualPath()
{
    std::string path = winePathFromEnvironment("VELDIS_EXE");
    return path.erase(path.rfind('\\') + 1) + MANUAL_FILE_NAME;
}

// The manual's text in CP932, as the menu's texts are.
std::string manualText()
{
    std::ifstream file(manualPath(), std::ios::binary);
    std::stringstream utf8;
    utf8 << file.rdbuf();
    std::string text = utf8.str();
    int wide = MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0);
    std::wstring unicode(wide, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), unicode.data(), wide);
    int size = WideCharToMultiByte(932, 0, unicode.data(), wide, nullptr, 0, nullptr, nullptr);
    std::string cp932(size, '\0');
    WideCharToMultiByte(932, 0, unicode.data(), wide, cp932.data(), size, nullptr, nullptr);
    return cp932;
}

// A menu item's name as a reader looks for it: without its mnemonic, its
// key (after a run of blanks) and its dots.
std::string itemName(std::string text)
{
    size_t keys = text.find("  ");
    if (keys != std::string::npos) text.erase(keys);
    size_t mnemonic = text.find("(&");
    if (mnemonic != std::string::npos) text.erase(mnemonic);
    return text;
}

void collectNames(HMENU menu, std::vector<std::string>& names)
{
    for (int i = 0; i < GetMenuItemCount(menu); i++) {
        char text[128] = "";
        GetMenuStringA(menu, UINT(i), text, sizeof text, MF_BYPOSITION);
        if (text[0] != '\0') names.push_back(itemName(text));
        if (HMENU sub = GetSubMenu(menu, i)) collectNames(sub, names);
    }
}

TEST(Manual, NamesEveryMenuCommand)
{
    std::string manual = manualText();
    ASSERT_GT(manual.size(), 1000u);
    HMODULE exe = loadVeldisExe();
    HMENU menu = LoadMenuA(exe, "VELDIS");
    std::vector<std::string> names;
    collectNames(menu, names);
    DestroyMenu(menu);
    FreeLibrary(exe);
    ASSERT_GT(names.size(), 40u);
    for (const std::string& name : names)
        EXPECT_NE(manual.find(name), std::string::npos) << "the manual lacks " << name;
}

// Every picture the manual shows is there, a PNG taken by
// scripts/manual-pictures.sh.
TEST(Manual, EveryPictureIsThere)
{
    std::string manual = manualText();
    std::string folder = manualPath();
    folder.erase(folder.rfind('\\') + 1);
    std::regex picture("<img src=\"pictures/([a-z-]+\\.png)\"");
    int count = 0;
    for (std::sregex_iterator at(manual.begin(), manual.end(), picture), end; at != end; ++at) {
        std::ifstream file(folder + "pictures\\" + (*at)[1].str(), std::ios::binary);
        char magic[4] = {};
        file.read(magic, 4);
        EXPECT_EQ(std::string(magic + 1, 3), "PNG") << (*at)[1];
        count++;
    }
    EXPECT_GE(count, 10);
}

// F1 takes the old help engine only where its file stands beside the exe.
TEST(Help, TheHelpFileBesideTheExeElseTheManual)
{
    installWin32Platform();
    char exe[MAX_PATH];
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string folder(exe, std::strrchr(exe, '\\') + 1);
    std::string helpFile = folder + HELP_FILE_NAME;
    DeleteFileA(helpFile.c_str());
    char manual[MAX_PATH] = "";
    EXPECT_EQ(chooseHelp(manual, sizeof manual), HelpRoute::Manual);
    EXPECT_EQ(manual, folder + MANUAL_FILE_NAME);
    std::FILE* file = std::fopen(helpFile.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fclose(file);
    EXPECT_EQ(chooseHelp(manual, sizeof manual), HelpRoute::HelpEngine);
    EXPECT_EQ(manual, helpFile);
    DeleteFileA(helpFile.c_str());
}

}  // namespace
