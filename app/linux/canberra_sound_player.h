#pragma once
#include "platform/sound_player.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>

struct ca_context;

namespace zumi {

// Plays the program's sound files through the desktop's event sound system
// (libcanberra); the beep goes through the toolkit.
class CanberraSoundPlayer final : public SoundPlayer {
public:
    CanberraSoundPlayer(std::filesystem::path soundsDir, std::function<void()> systemBeep);
    ~CanberraSoundPlayer() override;
    CanberraSoundPlayer(const CanberraSoundPlayer&) = delete;
    CanberraSoundPlayer& operator=(const CanberraSoundPlayer&) = delete;

    bool play(const std::string& fileName, bool noWait) override;
    void beep() override;

private:
    struct Library;
    bool open();

    std::filesystem::path soundsDir_;
    std::function<void()> systemBeep_;
    std::unique_ptr<Library> library_;
    ca_context* context_ = nullptr;
    std::uint32_t lastId_ = 0;
};

} // namespace zumi
