#include "app/win32/win32_backends.h"

#include "platform/win32/win32_sound_player.h"
#include "platform/win32/win32_window_system.h"
#include "ras/rasapi/ras_bytes.h"
#include "ras/rasapi/rasapi_dialup.h"

namespace zumi {
namespace {

class WindowsBackends final : public Win32Backends {
public:
    explicit WindowsBackends(const std::filesystem::path& soundsDir)
        : sound_(soundsDir)
    {
    }
    DialUpAccess& dialUp() override { return dialUp_; }
    ByteSource& linkBytes() override { return bytes_; }
    WindowSystem& windows() override { return windows_; }
    SoundPlayer& sound() override { return sound_; }

private:
    RasApiDialUp dialUp_;
    RasBytes bytes_{dialUp_.handles()};
    Win32WindowSystem windows_;
    Win32SoundPlayer sound_;
};

} // namespace

std::unique_ptr<Win32Backends> makeWin32Backends(const std::filesystem::path& soundsDir)
{
    return std::make_unique<WindowsBackends>(soundsDir);
}

} // namespace zumi
