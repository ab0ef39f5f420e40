#include "app/linux/canberra_sound_player.h"

#include <canberra.h>

#include <system_error>

namespace zumi {

CanberraSoundPlayer::CanberraSoundPlayer(std::filesystem::path soundsDir, std::function<void()> systemBeep)
    : soundsDir_(std::move(soundsDir))
    , systemBeep_(std::move(systemBeep))
{
}

CanberraSoundPlayer::~CanberraSoundPlayer()
{
    if (context_)
        ca_context_destroy(context_);
}

// Opened on the first sound, so a start-up never waits for the sound system.
bool CanberraSoundPlayer::open()
{
    if (context_)
        return true;
    if (ca_context_create(&context_) != CA_SUCCESS) {
        context_ = nullptr;
        return false;
    }
    ca_context_change_props(context_, CA_PROP_APPLICATION_NAME, "Zumi", CA_PROP_APPLICATION_ID, "zumi", nullptr);
    if (ca_context_open(context_) != CA_SUCCESS) {
        // No device now; a later sound tries again.
        ca_context_destroy(context_);
        context_ = nullptr;
        return false;
    }
    return true;
}

bool CanberraSoundPlayer::play(const std::string& fileName, bool noWait)
{
    const std::filesystem::path file = soundsDir_ / fileName;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec))
        return false;
    if (!open())
        return false;
    if (noWait && lastId_ != 0) {
        int playing = 0;
        if (ca_context_playing(context_, lastId_, &playing) == CA_SUCCESS && playing)
            return false;
    }
    ++lastId_;
    if (lastId_ == 0)
        lastId_ = 1;
    return ca_context_play(context_, lastId_, CA_PROP_MEDIA_FILENAME, file.c_str(), CA_PROP_MEDIA_ROLE, "event",
                           CA_PROP_CANBERRA_CACHE_CONTROL, "never", nullptr)
        == CA_SUCCESS;
}

void CanberraSoundPlayer::beep()
{
    if (systemBeep_)
        systemBeep_();
}

} // namespace zumi
