#pragma once
#include <cstdint>

// How raw sectors are reached, chosen once at start-up from the Windows version.
// The dispatcher compares the value with 0 and 2, so the numbers are fixed.
enum class AccessMethod : int {
    WinNt5 = -3,
    WinNt4 = -2,
    Unsupported = -1,
    Win95 = 1,
    Win95Osr2 = 2,
    Win98 = 3,
};

// The fields of OSVERSIONINFOA that decide the method.
struct OsVersion {
    uint32_t platformId;
    uint32_t majorVersion;
    uint32_t buildNumber;
};

constexpr uint32_t OS_PLATFORM_WIN32_WINDOWS = 1;
constexpr uint32_t OS_PLATFORM_WIN32_NT = 2;
constexpr uint32_t OS_RID_ADMINS = 544;

AccessMethod classifyAccessMethod(const OsVersion& version);

// Win32 side: GetVersionExA, and the token check against S-1-5-32-rid
// (1 member, 0 not a member, -1 the check failed).
AccessMethod detectAccessMethod();
int isInBuiltinGroup(uint32_t rid);
