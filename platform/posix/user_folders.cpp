#include "platform/user_folders.h"

#include <cerrno>
#include <cstdlib>
#include <pwd.h>
#include <unistd.h>
#include <vector>

namespace zumi {
namespace {

// $HOME, else this user's entry in the password database (a session or
// service started without HOME); empty without either.
std::filesystem::path homeFolder()
{
    if (const char* home = std::getenv("HOME"); home && *home)
        return home;
    const long hint = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(hint > 0 ? static_cast<std::size_t>(hint) : 4096);
    struct passwd entry {};
    struct passwd* found = nullptr;
    int rc;
    while ((rc = ::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found)) == ERANGE
           && buffer.size() < 1024 * 1024)
        buffer.resize(buffer.size() * 2);
    if (rc != 0 || !found || !found->pw_dir || *found->pw_dir != '/')
        return {};
    return found->pw_dir;
}

// The base directory named by `variable`, else `belowHome` in the home
// folder. A relative value is invalid and is ignored, as the base directory
// rules ask; no home at all puts it below the working directory rather than nowhere.
std::filesystem::path baseFolder(const char* variable, const char* belowHome)
{
    if (const char* value = std::getenv(variable); value && *value == '/')
        return value;
    if (const auto home = homeFolder(); !home.empty())
        return home / belowHome;
    return belowHome;
}

} // namespace

std::filesystem::path settingsFile()
{
    return baseFolder("XDG_CONFIG_HOME", ".config") / "Zumi" / "Zumi.conf";
}

std::filesystem::path callLogFile()
{
    return baseFolder("XDG_DATA_HOME", ".local/share") / "Zumi" / "calls.sqlite";
}

} // namespace zumi
