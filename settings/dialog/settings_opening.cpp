#include "settings/dialog/settings_opening.h"

#include "ras/connection_queries.h"

#include <cstdint>

namespace zumi {

std::optional<std::string> settingsRefusal(DialUpAccess& dialUp)
{
    std::int32_t handle = 0;
    getActiveConnection(dialUp, handle);
    if (handle == 0)
        return std::nullopt;
    return "Nicht während eine Verbindung aktiv ist";
}

} // namespace zumi
