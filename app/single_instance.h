#pragma once
#include <filesystem>

namespace zumi {

// The rule "one running program per user": a lock on a file in a folder only
// this user owns, which the system drops when the process ends in any way,
// so a crashed instance never blocks the next start.
class SingleInstance {
public:
    enum class State {
        Acquired,         // this process is the one instance
        RunningElsewhere, // another instance of this user holds the lock
        Unsafe,           // the lock's folder or file is not this user's own: start no instance
    };

    // lockFile's folder is created (mode 0700) when missing; a folder or file
    // that is not this user's own counts as the lock being held.
    explicit SingleInstance(const std::filesystem::path& lockFile);
    ~SingleInstance(); // releases the lock
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    State state() const { return state_; }

    // Keyed on the user, not the environment: /run/user/UID/zumi.lock when
    // that folder is the user's own, else /tmp/zumi-UID/zumi.lock.
    static std::filesystem::path defaultLockFile();

private:
    int fd_ = -1;
    State state_ = State::RunningElsewhere;
};

} // namespace zumi
