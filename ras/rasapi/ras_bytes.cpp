#include "ras/rasapi/ras_bytes.h"

#include "ras/rasapi/ras_records.h"

#include <windows.h>

#include <ras.h>

namespace zumi {

LinkCounts RasBytes::counts(std::int32_t connectionHandle)
{
    const std::uint64_t ras = handles_.handleOf(connectionHandle);
    if (ras == 0)
        return {};
    rasapi::RasStats stats{};
    stats.dwSize = sizeof stats;
    if (RasGetConnectionStatistics(reinterpret_cast<HRASCONN>(static_cast<std::uintptr_t>(ras)),
                                   reinterpret_cast<RAS_STATS*>(&stats))
        != 0)
        return {};
    const LinkCounts counts{stats.dwBytesXmited, stats.dwBytesRcved};
    if (counts.readable() && connectionHandle != counted_) {
        if (counted_ != 0)
            ++origin_;
        counted_ = connectionHandle;
    }
    return counts;
}

} // namespace zumi
