#pragma once
#include "settings/settings.h"

#include <array>
#include <string>

namespace zumi {

// Copy and Paste of the sixteen tariff boxes; lives as long as the program,
// so a paste in a later dialog still finds what was copied before.
struct CopyBuffer {
    std::array<std::string, kBands> start{};
    std::array<std::string, kBands> takt{};
};

} // namespace zumi
