#pragma once
#include "platform/sound_player.h"

#include <filesystem>
#include <string>

namespace zumi {

// Plays the program's sound files with the system's PlaySound, in the
// background; the beep is the system's default one.
class Win32SoundPlayer final : public SoundPlayer {
public:
    explicit Win32SoundPlayer(std::filesystem::path soundsDir);
    ~Win32SoundPlayer() override;
    Win32SoundPlayer(const Win32SoundPlayer&) = delete;
    Win32SoundPlayer& operator=(const Win32SoundPlayer&) = delete;

    bool play(const std::string& fileName, bool noWait) override;
    void beep() override;

private:
    std::filesystem::path soundsDir_;
};

// The folder of the running program, where its sound files lie beside it.
std::filesystem::path programFolder();

} // namespace zumi
