#pragma once
#include "settings/settings.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace zumi {

// A tariff box whose text cannot be stored.
struct BadTariffField {
    int connection = 0; // position in the dialog's list
    int band = 0;       // 0..3 weekday, 4..7 weekend and holiday
    bool takt = false;  // the cycle length, else the start time
};

// The first tariff text holding a comma: the stored record is comma-separated,
// so such a text would shift every later field when it is read back.
std::optional<BadTariffField> findUnstorableTariffText(const std::vector<std::array<std::string, kBands>>& start,
                                                       const std::vector<std::array<std::string, kBands>>& takt);

// The user's message naming the connection, the row and the column of the field.
std::string unstorableTariffMessage(const std::string& connectionName, const BadTariffField& field);

} // namespace zumi
