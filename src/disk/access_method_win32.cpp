#include <windows.h>

#include "disk/access_method.h"

namespace {
// The size field the 95/98 family expects: OSVERSIONINFOA without extensions.
constexpr DWORD OS_VERSION_INFO_SIZE = 148;
// Large enough for the group lists of ordinary logons; a larger list fails the check.
constexpr DWORD TOKEN_GROUPS_BUFFER_SIZE = 1024;
}

AccessMethod detectAccessMethod()
{
    OSVERSIONINFOA info;
    ZeroMemory(&info, sizeof info);
    info.dwOSVersionInfoSize = OS_VERSION_INFO_SIZE;
    GetVersionExA(&info);
    return classifyAccessMethod({info.dwPlatformId, info.dwMajorVersion, info.dwBuildNumber});
}

int isInBuiltinGroup(uint32_t rid)
{
    HANDLE token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return -1;
    alignas(TOKEN_GROUPS) BYTE buffer[TOKEN_GROUPS_BUFFER_SIZE];
    DWORD needed = 0;
    BOOL read = GetTokenInformation(token, TokenGroups, buffer, sizeof buffer, &needed);
    CloseHandle(token);
    if (!read) return -1;

    SID_IDENTIFIER_AUTHORITY ntAuthority = SECURITY_NT_AUTHORITY;
    PSID sid;
    if (!AllocateAndInitializeSid(&ntAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID, rid, 0, 0, 0, 0,
                                  0, 0, &sid))
        return -1;
    // Deny-only and disabled entries count too: the group is present in the token.
    const TOKEN_GROUPS* groups = reinterpret_cast<const TOKEN_GROUPS*>(buffer);
    int member = 0;
    for (DWORD i = 0; i < groups->GroupCount && member == 0; i++)
        if (EqualSid(groups->Groups[i].Sid, sid)) member = 1;
    FreeSid(sid);
    return member;
}
