#pragma once
#include "platform/byte_source.h"
#include "platform/dialup_access.h"

#include <filesystem>
#include <memory>

namespace zumi {

// The platform's dial-up networking and its link byte counter.
struct PlatformBackend {
    std::unique_ptr<DialUpAccess> dialUp;
    std::unique_ptr<ByteSource> linkBytes; // takes the handles that dialUp hands out
};

// Picks the backend of the platform this program was built for. root is the
// file-system root it reads below ("/" for the real system).
PlatformBackend makePlatformBackend(const std::filesystem::path& root = "/");

} // namespace zumi
