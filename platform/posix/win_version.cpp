#include "platform/win_version.h"

namespace zumi {

std::int32_t getWinVersion()
{
    return 0;
}

} // namespace zumi
