#include <gtest/gtest.h>

#include "disk/access_method.h"

namespace {

AccessMethod windows9x(uint32_t build)
{
    return classifyAccessMethod({OS_PLATFORM_WIN32_WINDOWS, 4, build});
}

AccessMethod nt(uint32_t major)
{
    return classifyAccessMethod({OS_PLATFORM_WIN32_NT, major, 1381});
}

TEST(AccessMethod, Windows9xBuildBoundaries)
{
    EXPECT_EQ(windows9x(0x040003B6), AccessMethod::Win95);  // 4.00.950
    EXPECT_EQ(windows9x(0x04000438), AccessMethod::Win95);  // 4.00.1080
    EXPECT_EQ(windows9x(0x04000439), AccessMethod::Win95Osr2);
    EXPECT_EQ(windows9x(0x0409FFFF), AccessMethod::Win95Osr2);
    EXPECT_EQ(windows9x(0x040A0000), AccessMethod::Win98);  // 4.10.0
    EXPECT_EQ(windows9x(0xFFFFFFFF), AccessMethod::Win98);  // compared unsigned
    EXPECT_EQ(windows9x(0), AccessMethod::Win95);
}

TEST(AccessMethod, NtMajorVersions)
{
    EXPECT_EQ(nt(3), AccessMethod::Unsupported);
    EXPECT_EQ(nt(4), AccessMethod::WinNt4);
    EXPECT_EQ(nt(5), AccessMethod::WinNt5);
    EXPECT_EQ(nt(6), AccessMethod::WinNt5);
    EXPECT_EQ(nt(10), AccessMethod::WinNt5);
}

TEST(AccessMethod, OtherPlatformsAreUnsupported)
{
    for (uint32_t id : {0u, 3u, 4u, 0xFFFFFFFFu})
        EXPECT_EQ(classifyAccessMethod({id, 5, 0x040A0000}), AccessMethod::Unsupported) << id;
}

TEST(AccessMethod, ValuesAreFixed)
{
    EXPECT_EQ(int(AccessMethod::WinNt5), -3);
    EXPECT_EQ(int(AccessMethod::WinNt4), -2);
    EXPECT_EQ(int(AccessMethod::Unsupported), -1);
    EXPECT_EQ(int(AccessMethod::Win95), 1);
    EXPECT_EQ(int(AccessMethod::Win95Osr2), 2);
    EXPECT_EQ(int(AccessMethod::Win98), 3);
}

}  // namespace
