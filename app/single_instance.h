#pragma once
#include <filesystem>

namespace zumi {

// The rule "one running program per user", held while this object lives.
// The system drops it when the process ends in any way, so a crashed
// instance never blocks the next start. Each system claims it its own way
// (claimSingleInstance, app/desktop.h).
class SingleInstance {
public:
    enum class State {
        Acquired,         // this process is the one instance
        RunningElsewhere, // another instance of this user holds it
        Unsafe,           // what holds it is not this user's own: start no instance
    };

    virtual ~SingleInstance() = default;
    virtual State state() const = 0;
    // What the rule is held by, for the message when it is unsafe.
    virtual std::filesystem::path lockFile() const = 0;
};

} // namespace zumi
