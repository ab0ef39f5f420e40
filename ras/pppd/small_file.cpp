#include "ras/pppd/small_file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

namespace zumi {
namespace {

int openForReading(const std::string& path)
{
    return ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
}

// The file from its start, at most limit bytes; nullopt on a read error.
std::optional<std::string> readFromStart(int fd, std::size_t limit)
{
    std::string text;
    char buffer[4096];
    while (text.size() < limit) {
        const std::size_t wanted = std::min(sizeof buffer, limit - text.size());
        const ssize_t n = ::pread(fd, buffer, wanted, static_cast<off_t>(text.size()));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return std::nullopt;
        }
        text.append(buffer, static_cast<std::size_t>(n));
        // A short read is the end of a regular, proc or sysfs file; this
        // saves the extra read per file that a scan of /proc would pay for.
        if (static_cast<std::size_t>(n) < wanted)
            break;
    }
    return text;
}

} // namespace

std::optional<std::string> readSmallFile(const std::string& path, std::size_t limit)
{
    const int fd = openForReading(path);
    if (fd < 0)
        return std::nullopt;
    auto text = readFromStart(fd, limit);
    ::close(fd);
    return text;
}

std::optional<std::vector<std::string>> listFolder(const std::string& path, int* error)
{
    DIR* dir = ::opendir(path.c_str());
    if (!dir) {
        if (error)
            *error = errno;
        return std::nullopt;
    }
    std::vector<std::string> names;
    while (const dirent* entry = ::readdir(dir)) {
        if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0)
            continue;
        names.emplace_back(entry->d_name);
    }
    ::closedir(dir);
    return names;
}

HeldFiles::~HeldFiles()
{
    for (const File& file : files_)
        ::close(file.fd);
}

void HeldFiles::drop(std::size_t index)
{
    ::close(files_[index].fd);
    files_.erase(files_.begin() + static_cast<std::ptrdiff_t>(index));
}

std::optional<std::string> HeldFiles::readHeld(File& file, std::size_t limit) const
{
    if (!file.kernel) {
        // Removed, or replaced by a rename: the path names another file now.
        struct stat status {};
        if (::fstat(file.fd, &status) != 0 || status.st_nlink == 0)
            return std::nullopt;
    }
    // A kernel file fails here once its process or device is gone.
    return readFromStart(file.fd, limit);
}

std::optional<std::string> HeldFiles::read(const std::string& path, std::size_t limit)
{
    ++uses_;
    const auto held
        = std::find_if(files_.begin(), files_.end(), [&path](const File& file) { return file.path == path; });
    if (held != files_.end()) {
        held->lastUse = uses_;
        if (auto text = readHeld(*held, limit))
            return text;
        drop(static_cast<std::size_t>(held - files_.begin()));
    }

    File file{path, openForReading(path), false, uses_};
    if (file.fd < 0)
        return std::nullopt;
    struct statfs filesystem {};
    file.kernel = ::fstatfs(file.fd, &filesystem) == 0
        && (filesystem.f_type == PROC_SUPER_MAGIC || filesystem.f_type == SYSFS_MAGIC);
    auto text = readFromStart(file.fd, limit);
    if (!text || capacity_ == 0) {
        ::close(file.fd);
        return text;
    }
    if (files_.size() >= capacity_) {
        const auto oldest = std::min_element(files_.begin(), files_.end(),
                                             [](const File& a, const File& b) { return a.lastUse < b.lastUse; });
        drop(static_cast<std::size_t>(oldest - files_.begin()));
    }
    files_.push_back(std::move(file));
    return text;
}

} // namespace zumi
