#pragma once
#include "platform/byte_source.h"
#include "platform/dialup_access.h"
#include "platform/sound_player.h"
#include "platform/window_queries.h"

#include <filesystem>
#include <memory>

namespace zumi {

// What Windows gives the program, each part behind its interface: RAS's
// connections and byte counters, user32's windows, PlaySound's sounds. The
// one place that names these backends (the settings store in the registry
// is the program's own, see Win32App).
class Win32Backends {
public:
    virtual ~Win32Backends() = default;
    virtual DialUpAccess& dialUp() = 0;
    virtual ByteSource& linkBytes() = 0; // takes the handles dialUp() hands out
    virtual WindowSystem& windows() = 0;
    virtual SoundPlayer& sound() = 0;
};

// soundsDir: the program's own sound files.
std::unique_ptr<Win32Backends> makeWin32Backends(const std::filesystem::path& soundsDir);

} // namespace zumi
