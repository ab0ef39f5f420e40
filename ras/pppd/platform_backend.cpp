#include "ras/platform_backend.h"

#include "ras/pppd/link_bytes.h"
#include "ras/pppd/pppd_dialup.h"

namespace zumi {

PlatformBackend makePlatformBackend(const std::filesystem::path& root)
{
    PlatformBackend backend;
    backend.dialUp = std::make_unique<PppdDialUp>(root);
    backend.linkBytes = std::make_unique<LinkBytes>(root);
    return backend;
}

} // namespace zumi
