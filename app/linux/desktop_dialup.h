#pragma once
#include "platform/byte_source.h"
#include "platform/dialup_access.h"

#include <memory>

namespace zumi {

// The dial-up systems of this desktop as one: pppd's peers and links, and
// NetworkManager's profiles and active connections, with their byte counters.
struct DesktopDialUp {
    std::unique_ptr<DialUpAccess> dialUp;
    std::unique_ptr<ByteSource> linkBytes; // takes the handles dialUp hands out
};

DesktopDialUp makeDesktopDialUp();

} // namespace zumi
