#include "app/linux/canberra_sound_player.h"

#include <canberra.h>
#include <dlfcn.h>

#include <system_error>
#include <type_traits>

namespace zumi {

// libcanberra and what it pulls in (codecs, its cache, a module loader) are
// loaded with the first sound, not at start: most runs play none or late.
struct CanberraSoundPlayer::Library {
    void* handle = nullptr;
    decltype(&ca_context_create) create = nullptr;
    decltype(&ca_context_destroy) destroy = nullptr;
    decltype(&ca_context_change_props) changeProps = nullptr;
    decltype(&ca_context_open) open = nullptr;
    decltype(&ca_context_playing) playing = nullptr;
    decltype(&ca_context_play) play = nullptr;

    bool load()
    {
        if (handle)
            return true;
        void* library = ::dlopen("libcanberra.so.0", RTLD_NOW | RTLD_LOCAL);
        if (!library)
            return false;
        const auto symbol = [library](auto& function, const char* name) {
            function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(::dlsym(library, name));
            return function != nullptr;
        };
        if (!symbol(create, "ca_context_create") || !symbol(destroy, "ca_context_destroy")
            || !symbol(changeProps, "ca_context_change_props") || !symbol(open, "ca_context_open")
            || !symbol(playing, "ca_context_playing") || !symbol(play, "ca_context_play")) {
            ::dlclose(library);
            return false;
        }
        handle = library;
        return true;
    }
};

CanberraSoundPlayer::CanberraSoundPlayer(std::filesystem::path soundsDir, std::function<void()> systemBeep)
    : soundsDir_(std::move(soundsDir))
    , systemBeep_(std::move(systemBeep))
    , library_(std::make_unique<Library>())
{
}

CanberraSoundPlayer::~CanberraSoundPlayer()
{
    if (context_)
        library_->destroy(context_);
}

// Opened on the first sound, so a start-up never waits for the sound system.
bool CanberraSoundPlayer::open()
{
    if (context_)
        return true;
    if (!library_->load())
        return false;
    if (library_->create(&context_) != CA_SUCCESS) {
        context_ = nullptr;
        return false;
    }
    library_->changeProps(context_, CA_PROP_APPLICATION_NAME, "Zumi", CA_PROP_APPLICATION_ID, "zumi", nullptr);
    if (library_->open(context_) != CA_SUCCESS) {
        // No device now; a later sound tries again.
        library_->destroy(context_);
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
        if (library_->playing(context_, lastId_, &playing) == CA_SUCCESS && playing)
            return false;
    }
    ++lastId_;
    if (lastId_ == 0)
        lastId_ = 1;
    return library_->play(context_, lastId_, CA_PROP_MEDIA_FILENAME, file.c_str(), CA_PROP_MEDIA_ROLE, "event",
                          CA_PROP_CANBERRA_CACHE_CONTROL, "never", nullptr)
        == CA_SUCCESS;
}

void CanberraSoundPlayer::beep()
{
    if (systemBeep_)
        systemBeep_();
}

} // namespace zumi
