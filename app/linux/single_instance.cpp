#include "app/single_instance.h"
#include "app/desktop.h"

#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace zumi {
namespace {

// Only this user may put files there: its owner, and writable by nobody else.
bool ownPrivate(const struct stat& st)
{
    return st.st_uid == ::getuid() && (st.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

// A lock on a file in a folder only this user owns. A folder or file that is
// not this user's own counts as the lock being held.
class FileLock final : public SingleInstance {
public:
    // lockFile's folder is created (mode 0700) when missing.
    explicit FileLock(std::filesystem::path lockFile);
    ~FileLock() override;
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    State state() const override { return state_; }
    std::filesystem::path lockFile() const override { return lockFile_; }

private:
    std::filesystem::path lockFile_;
    int fd_ = -1;
    State state_ = State::RunningElsewhere;
};

FileLock::FileLock(std::filesystem::path lockFile)
    : lockFile_(std::move(lockFile))
{
    // Every step refuses symlinks and files of others: the fallback folder
    // lies in /tmp, where anyone may plant a name first. Whatever fails here
    // ends this start, never lifts the rule.
    state_ = State::Unsafe;
    const std::filesystem::path folder = lockFile_.parent_path();
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        return;
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (dir < 0)
        return;
    struct stat st {};
    if (::fstat(dir, &st) != 0 || !S_ISDIR(st.st_mode) || !ownPrivate(st)) {
        ::close(dir);
        return;
    }
    // Close-on-exec: a dialer started from the menu must not inherit the lock
    // and keep it after this program has ended.
    fd_ = ::openat(dir, lockFile_.filename().c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    ::close(dir);
    if (fd_ < 0)
        return;
    if (::fstat(fd_, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::getuid()) {
        int rc;
        do {
            rc = ::flock(fd_, LOCK_EX | LOCK_NB);
        } while (rc != 0 && errno == EINTR);
        if (rc == 0) {
            state_ = State::Acquired;
            return;
        }
        if (errno == EWOULDBLOCK)
            state_ = State::RunningElsewhere;
    }
    ::close(fd_);
    fd_ = -1;
}

FileLock::~FileLock()
{
    if (fd_ >= 0)
        ::close(fd_); // releases the lock; the file stays for the next start
}

// Keyed on the user, not the environment: /run/user/UID/zumi.lock when
// that folder is the user's own, else /tmp/zumi-UID/zumi.lock.
std::filesystem::path defaultLockFile()
{
    const std::string uid = std::to_string(::getuid());
    const std::string runtime = "/run/user/" + uid;
    struct stat st {};
    if (::lstat(runtime.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && ownPrivate(st))
        return std::filesystem::path(runtime) / "zumi.lock";
    return std::filesystem::path("/tmp/zumi-" + uid) / "zumi.lock";
}

} // namespace

std::unique_ptr<SingleInstance> claimSingleInstance()
{
    return std::make_unique<FileLock>(defaultLockFile());
}

} // namespace zumi
