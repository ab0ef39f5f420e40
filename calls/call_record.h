#pragma once
#include "tariff/metering_log.h"

#include <chrono>
#include <cstdint>
#include <string>

namespace zumi {

// One metered connection as the call log keeps it. Times are texts so the
// database reads plainly: local "2026-03-10 10:00:00", UTC "2026-03-10T09:00:00Z".
struct CallRecord {
    std::int64_t id = 0; // 0: not stored yet
    std::string entry;
    std::string startLocal, startUtc;
    std::string endLocal, endUtc; // empty while running, and after a crash
    std::int64_t onlineSeconds = 0;
    std::int64_t units = 0; // units begun
    std::int64_t bytes = 0; // sent and received together
    std::string endedBy;    // empty while running, else callEndName()
    // Each direction (0 in rows of a log that kept only the sum).
    std::int64_t bytesSent = 0, bytesReceived = 0;
};

// "menu", "low-traffic", "after-units", "budget", "outside".
const char* callEndName(CallEnd how);

// A price of one unit in ten-thousandths of the currency (0,0486 € = 486).
struct UnitPrice {
    std::int64_t tenThousandths = 0;
    std::string currency = "\xE2\x82\xAC"; // €
    bool operator==(const UnitPrice&) const = default;
};

// The month a call belongs to: the one in which it started.
std::chrono::year_month callMonth(const CallRecord& call);

} // namespace zumi
