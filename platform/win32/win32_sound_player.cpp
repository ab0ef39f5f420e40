#include "platform/win32/win32_sound_player.h"
#include "platform/win32/wide_text.h"

#include <windows.h>

#include <mmsystem.h> // after windows.h, whose types it uses

#include <system_error>
#include <utility>

namespace zumi {

Win32SoundPlayer::Win32SoundPlayer(std::filesystem::path soundsDir)
    : soundsDir_(std::move(soundsDir))
{
}

// A sound still playing in the background ends with the player, before the
// program's end takes its thread away mid-write.
Win32SoundPlayer::~Win32SoundPlayer()
{
    PlaySoundW(nullptr, nullptr, 0);
}

bool Win32SoundPlayer::play(const std::string& fileName, bool noWait)
{
    const std::filesystem::path file = soundsDir_ / win32::wideFromUtf8(fileName);
    // PlaySound started in the background may not tell a missing file at all.
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec))
        return false;
    // No system sound in place of a file that does not play; with noWait, a
    // sound still playing is left alone and this one dropped.
    const DWORD flags = SND_FILENAME | SND_ASYNC | SND_NODEFAULT | (noWait ? SND_NOSTOP : 0);
    return ::PlaySoundW(file.c_str(), nullptr, flags) != FALSE;
}

void Win32SoundPlayer::beep()
{
    ::MessageBeep(MB_OK);
}

std::filesystem::path programFolder()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return {};
        if (length < path.size()) {
            path.resize(length);
            return std::filesystem::path(path).parent_path();
        }
        path.resize(path.size() * 2); // a long path: cut off, try again
    }
}

} // namespace zumi
