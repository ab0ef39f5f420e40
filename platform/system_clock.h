#pragma once
#include "platform/clock.h"

namespace zumi {

class SystemClock final : public Clock {
public:
    LocalDateTime localNow() const override;
    std::chrono::steady_clock::time_point monotonicNow() const override;
    std::chrono::system_clock::time_point utcNow() const override;
};

} // namespace zumi
