#include "single_instance.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zumi {

SingleInstance::SingleInstance(const std::filesystem::path& lockFile)
{
    // Close-on-exec: a dialer started from the menu must not inherit the lock
    // and keep it after this program has ended. No symlinks followed, because
    // the fallback folder is shared with other users.
    fd_ = ::open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd_ < 0)
        return;
    struct stat st {};
    if (::fstat(fd_, &st) != 0 || st.st_uid != ::getuid() || !S_ISREG(st.st_mode)) {
        // Someone else's file: it must not be able to keep this user's program from starting.
        ::close(fd_);
        fd_ = -1;
        return;
    }
    int rc;
    do {
        rc = ::flock(fd_, LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    if (rc == 0) {
        state_ = State::Acquired;
        return;
    }
    state_ = errno == EWOULDBLOCK ? State::RunningElsewhere : State::Unchecked;
    ::close(fd_);
    fd_ = -1;
}

SingleInstance::~SingleInstance()
{
    if (fd_ >= 0)
        ::close(fd_); // releases the lock; the file stays for the next start
}

std::filesystem::path SingleInstance::defaultLockFile()
{
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && runtime[0] == '/') {
        std::error_code ec;
        if (std::filesystem::is_directory(runtime, ec))
            return std::filesystem::path(runtime) / "zumi.lock";
    }
    std::error_code ec;
    std::filesystem::path temp = std::filesystem::temp_directory_path(ec);
    if (ec)
        temp = "/tmp";
    return temp / ("zumi-" + std::to_string(::getuid()) + ".lock");
}

} // namespace zumi
