#pragma once
#include <cstdint>

namespace zumi {

// The Windows version code: 64 Windows 95, 65 Windows 98/ME, 320 Windows NT 4,
// 337 any later NT, 0 anything else (every platform that is not Windows).
std::int32_t getWinVersion();

} // namespace zumi
