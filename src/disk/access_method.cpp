#include "disk/access_method.h"

namespace {
// On the 95/98 platform the high word of the build field carries the version.
constexpr uint32_t BUILD_LAST_WIN95 = 0x04000438;  // 4.00.1080, before OSR2
constexpr uint32_t BUILD_LAST_WIN95_OSR2 = 0x0409FFFF;
}

AccessMethod classifyAccessMethod(const OsVersion& version)
{
    if (version.platformId == OS_PLATFORM_WIN32_WINDOWS) {
        if (version.buildNumber <= BUILD_LAST_WIN95) return AccessMethod::Win95;
        if (version.buildNumber <= BUILD_LAST_WIN95_OSR2) return AccessMethod::Win95Osr2;
        return AccessMethod::Win98;
    }
    if (version.platformId == OS_PLATFORM_WIN32_NT) {
        if (version.majorVersion < 4) return AccessMethod::Unsupported;
        if (version.majorVersion == 4) return AccessMethod::WinNt4;
        return AccessMethod::WinNt5;
    }
    return AccessMethod::Unsupported;
}
