#include "platform/user_files.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zumi {

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
