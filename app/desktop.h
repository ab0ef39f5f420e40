#pragma once
#include "app/single_instance.h"
#include "platform/byte_source.h"
#include "platform/desktop_notifier.h"
#include "platform/dialup_access.h"
#include "platform/sound_player.h"
#include "platform/window_queries.h"

#include <filesystem>
#include <functional>
#include <memory>

namespace zumi {

class TrayBackend; // the toolkit's side of the tray icon

// What the system the program runs on gives it, each part behind its
// interface. One factory per system makes it (makeDesktop below) and is the
// only code that names the parts it chose; the desktop owns them, and
// whatever they share, for as long as it lives.
class Desktop {
public:
    virtual ~Desktop() = default;

    virtual DialUpAccess& dialUp() = 0;
    virtual ByteSource& linkBytes() = 0; // takes the handles dialUp() hands out
    virtual WindowSystem& windows() = 0;
    virtual TrayBackend& tray() = 0;
    virtual SoundPlayer& sound() = 0;
    virtual DesktopNotifier& notifier() = 0;
};

struct DesktopDeps {
    std::filesystem::path soundsDir;          // the program's own sound files
    std::function<bool()> infoWindowVisible;  // which icon the tray puts back after a restart
    std::function<void()> terminateRequested; // the system asks the program to end
};

// Before anything else of the program runs: the rule "one running program
// per user", held until the returned object goes.
std::unique_ptr<SingleInstance> claimSingleInstance();

// Before the toolkit's application object is made: what the toolkit is to
// be told of this system (which window system to use, say).
void prepareToolkit();

// After the toolkit's application object is made.
std::unique_ptr<Desktop> makeDesktop(DesktopDeps deps);

} // namespace zumi
