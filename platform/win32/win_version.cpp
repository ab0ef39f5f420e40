#include "platform/win_version.h"

#include <windows.h>

namespace zumi {

std::int32_t getWinVersion()
{
    // Without a manifest naming them, Windows 8.1 and later report 6.2: still NT after 4, which is all that counts.
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
    if (!::GetVersionExW(&info))
        return 0;
    if (info.dwPlatformId == VER_PLATFORM_WIN32_NT)
        return info.dwMajorVersion <= 4 ? 320 : 337;
    if (info.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS)
        return info.dwMinorVersion == 0 ? 64 : 65;
    return 0;
}

} // namespace zumi
