#include "platform/user_folders.h"

#include <windows.h>
// After windows.h, which they build on.
#include <knownfolders.h>
#include <shlobj.h>

#include <cstdlib>

namespace zumi {
namespace {

// The shell's known folder, else the environment variable that names it (a profile
// the shell cannot answer for); the working directory rather than nowhere without either.
std::filesystem::path knownFolder(REFKNOWNFOLDERID id, const wchar_t* variable)
{
    std::filesystem::path folder;
    wchar_t* path = nullptr;
    if (::SHGetKnownFolderPath(id, KF_FLAG_DONT_VERIFY, nullptr, &path) == S_OK && path && *path)
        folder = path;
    ::CoTaskMemFree(path);
    if (folder.empty())
        if (const wchar_t* value = ::_wgetenv(variable); value && *value)
            folder = value;
    return folder;
}

} // namespace

std::filesystem::path settingsFile()
{
    return knownFolder(FOLDERID_RoamingAppData, L"APPDATA") / L"Zumi" / L"Zumi.conf";
}

std::filesystem::path callLogFile()
{
    // The log grows with every call and belongs to this machine: local, not roaming.
    return knownFolder(FOLDERID_LocalAppData, L"LOCALAPPDATA") / L"Zumi" / L"calls.sqlite";
}

} // namespace zumi
