#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdlib>

// A property that does not hold is a finding: stop with the input kept.
inline void require(bool condition)
{
    if (!condition)
        std::abort();
}
