#pragma once
#include "calls/call_record.h"

#include <cstdint>
#include <optional>
#include <string>

namespace zumi {

// A price as the user types it: "0,12", "0,0486 €", "1.5 DM" (comma or
// point, up to four decimals, then an optional currency symbol; "€" when none).
struct PriceInput {
    bool ok = false;                // false: not a price; error says why
    std::optional<UnitPrice> price; // nullopt: the text was empty (no price)
    std::string error;
};
PriceInput parsePrice(const std::string& text);

// "0,12 €", "0,0486 €": two to four decimals, as many as the price needs.
std::string priceText(const UnitPrice& price);
// An amount in ten-thousandths as cents with a decimal comma, halves up: "1,23".
std::string moneyText(std::int64_t tenThousandths);

} // namespace zumi
