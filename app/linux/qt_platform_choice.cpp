#include "app/linux/qt_platform_choice.h"

namespace zumi {

std::optional<std::string> platformOverride(const PlatformSession& session)
{
    if (session.waylandDisplay && session.x11Display && !session.userChoice)
        return "xcb";
    return std::nullopt;
}

} // namespace zumi
