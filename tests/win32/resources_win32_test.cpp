#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "wine_paths.h"

namespace {

#pragma pack(push, 2)
struct IconGroupEntry {
    BYTE width, height, colorCount, reserved;
    WORD planes, bitCount;
    DWORD bytesInRes;
    WORD id;
};
struct IconGroup {
    WORD reserved, type, count;
    IconGroupEntry entries[1];
};
#pragma pack(pop)

class ExeResources : public ::testing::Test {
protected:
    void SetUp() override
    {
        exe = LoadLibraryExA(winePathFromEnvironment("VELDIS_EXE").c_str(), nullptr,
                             LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(exe, nullptr) << "set VELDIS_EXE to the path of veldis.exe";
    }
    void TearDown() override
    {
        if (exe) FreeLibrary(exe);
    }
    std::string resource(LPCSTR name, LPCSTR type)
    {
        HRSRC found = FindResourceA(exe, name, type);
        if (found == nullptr) return {};
        const char* bytes = static_cast<const char*>(LockResource(LoadResource(exe, found)));
        return std::string(bytes, SizeofResource(exe, found));
    }
    HMODULE exe = nullptr;
};

TEST_F(ExeResources, OneIconOf32PixelsAnd16Colours)
{
    std::string group = resource("veldis", RT_GROUP_ICON);  // names match regardless of case
    ASSERT_GE(group.size(), sizeof(IconGroup));
    const IconGroup* icons = reinterpret_cast<const IconGroup*>(group.data());
    ASSERT_EQ(icons->count, 1);
    EXPECT_EQ(icons->entries[0].width, 32);
    EXPECT_EQ(icons->entries[0].height, 32);
    EXPECT_EQ(icons->entries[0].colorCount, 16);
    EXPECT_EQ(icons->entries[0].bitCount, 4);
    EXPECT_FALSE(resource(MAKEINTRESOURCEA(icons->entries[0].id), RT_ICON).empty());
}

TEST_F(ExeResources, ManifestAsksForTheHighestAvailableRights)
{
    std::string manifest = resource(MAKEINTRESOURCEA(1), RT_MANIFEST);
    EXPECT_NE(manifest.find("requestedExecutionLevel level=\"highestAvailable\""),
              std::string::npos);
}

}  // namespace
