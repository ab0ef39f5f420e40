#include "platform/user_files.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace zumi {

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

bool makePrivateFolders(const std::filesystem::path& folder)
{
    std::error_code ec;
    if (folder.empty() || std::filesystem::is_directory(folder, ec))
        return !folder.empty();
    if (folder.has_relative_path() && folder.parent_path() != folder)
        makePrivateFolders(folder.parent_path());
    // mkdir honours the umask, which only takes bits away from 0700.
    return (::mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST) && std::filesystem::is_directory(folder, ec);
}

bool makePrivateFile(const std::filesystem::path& path)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return errno == EEXIST;
    ::close(fd);
    return true;
}

} // namespace zumi
