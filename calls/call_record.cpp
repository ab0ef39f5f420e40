#include "calls/call_record.h"

#include <cstdlib>

namespace zumi {

const char* callEndName(CallEnd how)
{
    switch (how) {
    case CallEnd::Menu:
        return "menu";
    case CallEnd::LowTraffic:
        return "low-traffic";
    case CallEnd::AfterUnits:
        return "after-units";
    case CallEnd::Budget:
        return "budget";
    case CallEnd::Outside:
        break;
    }
    return "outside";
}

std::chrono::year_month callMonth(const CallRecord& call)
{
    const std::string& t = call.startLocal; // "YYYY-MM-..."
    if (t.size() < 7)
        return std::chrono::year{0} / std::chrono::month{1};
    return std::chrono::year{std::atoi(t.substr(0, 4).c_str())}
    / std::chrono::month{static_cast<unsigned>(std::atoi(t.substr(5, 2).c_str()))};
}

} // namespace zumi
