#include "settings/dialog/tariff_text_check.h"

namespace zumi {

std::optional<BadTariffField> findUnstorableTariffText(const std::vector<std::array<std::string, kBands>>& start,
                                                       const std::vector<std::array<std::string, kBands>>& takt)
{
    const auto hasComma = [](const std::string& text) { return text.find(',') != std::string::npos; };
    for (std::size_t c = 0; c < start.size() || c < takt.size(); ++c) {
        for (int b = 0; b < kBands; ++b) {
            if (c < start.size() && hasComma(start[c][b]))
                return BadTariffField{static_cast<int>(c), b, false};
            if (c < takt.size() && hasComma(takt[c][b]))
                return BadTariffField{static_cast<int>(c), b, true};
        }
    }
    return std::nullopt;
}

std::string unstorableTariffMessage(const std::string& connectionName, const BadTariffField& field)
{
    const bool weekend = field.band >= 4;
    const int row = field.band % 4 + 1;
    return "Die Taktzeiten von \u201E" + connectionName + "\u201C enthalten ein Komma ("
        + (weekend ? "Wochenende, Feiertags" : "Wochentags") + ", " + std::to_string(row) + ". Zeile, "
        + (field.takt ? "Takt" : "ab Uhrzeit")
        + ").\nEin Komma kann nicht gespeichert werden. Bitte entfernen Sie es; es wurde nichts gespeichert.";
}

} // namespace zumi
