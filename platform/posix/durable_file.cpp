#include "platform/durable_file.h"

#include "platform/user_files.h"

#include <cerrno>
#include <fcntl.h>
#include <random>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace zumi {
namespace {

constexpr std::string_view kTempSuffix = ".zumi-tmp";

bool writeAll(int fd, std::string_view data)
{
    while (!data.empty()) {
        const ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

void syncFolder(const std::filesystem::path& folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// ".Zumi.conf.<6 random letters>.zumi-tmp" beside the file.
std::string tempPrefix(const std::filesystem::path& path)
{
    return "." + path.filename().string() + ".";
}

std::filesystem::path tempName(const std::filesystem::path& folder, const std::filesystem::path& path)
{
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device random;
    std::string name = tempPrefix(path);
    for (int i = 0; i < 6; ++i)
        name += kLetters[random() % (sizeof kLetters - 1)];
    return folder / (name + std::string(kTempSuffix));
}

// A file without a name until it is whole: a crash while it is written
// leaves nothing behind. Falls back to a named one where that is not offered.
int openUnnamed(const std::filesystem::path& folder, const std::filesystem::path& path, std::filesystem::path& named)
{
    const int fd = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    if (fd >= 0 || (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL))
        return fd;
    named = tempName(folder, path);
    return ::open(named.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0600);
}

} // namespace

bool writeFileAtomically(const std::filesystem::path& path, std::string_view contents)
{
    const auto folder = path.parent_path().empty() ? std::filesystem::path(".") : path.parent_path();
    makePrivateFolders(folder);

    mode_t mode = 0600;
    struct stat existing {};
    if (::stat(path.c_str(), &existing) == 0) {
        if ((existing.st_mode & S_IWUSR) == 0) {
            errno = EACCES;
            return false;
        }
        mode = existing.st_mode & 07777;
    }

    std::filesystem::path named;
    const int fd = openUnnamed(folder, path, named);
    if (fd < 0)
        return false;
    bool ok = ::fchmod(fd, mode) == 0 && writeAll(fd, contents) && ::fsync(fd) == 0;
    if (ok && named.empty()) {
        named = tempName(folder, path);
        const std::string self = "/proc/self/fd/" + std::to_string(fd);
        ok = ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, named.c_str(), AT_SYMLINK_FOLLOW) == 0;
        if (!ok)
            named.clear();
    }
    ok = ::close(fd) == 0 && ok;
    if (!ok || ::rename(named.c_str(), path.c_str()) != 0) {
        if (!named.empty())
            ::unlink(named.c_str());
        return false;
    }
    syncFolder(folder);
    return true;
}

void removeStaleTemporaryFiles(const std::filesystem::path& path)
{
    const auto folder = path.parent_path().empty() ? std::filesystem::path(".") : path.parent_path();
    const std::string prefix = tempPrefix(path);
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.size() == prefix.size() + 6 + kTempSuffix.size() && name.starts_with(prefix)
            && name.ends_with(kTempSuffix) && it->is_regular_file(ec))
            std::filesystem::remove(it->path(), ec);
    }
}

} // namespace zumi
