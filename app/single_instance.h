#pragma once
#include <filesystem>

namespace zumi {

// The rule "one running program per user": a lock on a per-user file that the
// system drops when the process ends in any way, so a crashed instance never
// blocks the next start.
class SingleInstance {
public:
    enum class State {
        Acquired,      // this process is the one instance
        RunningElsewhere, // another instance of this user holds the lock
        Unchecked,     // the lock file could not be used; the program runs anyway
    };

    explicit SingleInstance(const std::filesystem::path& lockFile);
    ~SingleInstance(); // releases the lock
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    State state() const { return state_; }

    // $XDG_RUNTIME_DIR/zumi.lock, or a per-user file in the temporary folder.
    static std::filesystem::path defaultLockFile();

private:
    int fd_ = -1;
    State state_ = State::Unchecked;
};

} // namespace zumi
