#pragma once
#include "app/single_instance.h"

#include <filesystem>
#include <string>

namespace zumi {

// The rule "one running program per user" as a named mutex of the user's
// session: whoever made the name first holds it until its last handle closes.
class SessionMutex final : public SingleInstance {
public:
    explicit SessionMutex(std::wstring name);
    ~SessionMutex() override;
    SessionMutex(const SessionMutex&) = delete;
    SessionMutex& operator=(const SessionMutex&) = delete;

    State state() const override { return state_; }
    std::filesystem::path lockFile() const override { return name_; }

private:
    std::wstring name_;
    void* handle_ = nullptr;
    State state_ = State::Unsafe;
};

// "Local\Zumi-<the user's SID>", or the user's name where the SID cannot be read.
std::wstring sessionMutexName();

} // namespace zumi
