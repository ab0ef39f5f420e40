#pragma once
#include "ras/platform_backend.h"

namespace zumi {

// The dial-up systems of this desktop as one: pppd's peers and links, and
// NetworkManager's profiles and active connections, with their byte counters.
PlatformBackend makeDesktopDialUp();

} // namespace zumi
