#include "settings/tariff_record.h"

#include "core/numbers.h"

#include <algorithm>

namespace zumi {
namespace {

constexpr int kRecordFields = 1 + 2 * kBands;

void readBands(std::size_t& position, std::string_view text, TariffRecord& record)
{
    for (int b = 0; b < 4; ++b)
        record.start[b] = getToken(position, text, ',');
    for (int b = 0; b < 4; ++b)
        record.takt[b] = getToken(position, text, ',');
    for (int b = 4; b < kBands; ++b)
        record.start[b] = getToken(position, text, ',');
    for (int b = 4; b < kBands; ++b)
        record.takt[b] = getToken(position, text, ',');
}

std::optional<int> matchingSlot(const std::string& name, const ConnNames& connNames)
{
    const int slot = findConnectionSlot(connNames, name);
    if (slot < 0 || slot >= kMaxConnections || connNames[slot].empty())
        return std::nullopt;
    return slot;
}

// Where a name with commas ends: at the 17th comma from the end of a text
// that ends with a comma and has more than 17.
std::optional<std::size_t> commaNameEnd(std::string_view text)
{
    if (text.empty() || text.back() != ',')
        return std::nullopt;
    int seen = 0;
    for (std::size_t i = text.size(); i-- > 0;) {
        if (text[i] == ',' && ++seen == kRecordFields) {
            if (text.substr(0, i).find(',') == std::string_view::npos)
                return std::nullopt;
            return i;
        }
    }
    return std::nullopt;
}

} // namespace

TariffRecord parseTariffRecord(std::string_view text)
{
    TariffRecord record;
    std::size_t position = 0;
    record.name = getToken(position, text, ',');
    readBands(position, text, record);
    return record;
}

std::optional<TariffRecord> parseTariffRecordWithCommaName(std::string_view text)
{
    const auto nameEnd = commaNameEnd(text);
    if (!nameEnd)
        return std::nullopt;
    TariffRecord record;
    record.name = std::string(trimBlanks(text.substr(0, *nameEnd)));
    std::size_t position = *nameEnd + 1;
    readBands(position, text, record);
    return record;
}

std::string formatTariffRecord(const TariffRecord& record)
{
    std::string text = record.name + ',';
    const auto add = [&text](const std::string& field) {
        text += storableBandText(field);
        text += ',';
    };
    for (int b = 0; b < 4; ++b)
        add(record.start[b]);
    for (int b = 0; b < 4; ++b)
        add(record.takt[b]);
    for (int b = 4; b < kBands; ++b)
        add(record.start[b]);
    for (int b = 4; b < kBands; ++b)
        add(record.takt[b]);
    return text;
}

std::string storableBandText(std::string text)
{
    std::replace(text.begin(), text.end(), ',', '.');
    return text;
}

bool endsRecordList(std::string_view text)
{
    return text.empty() || text == ",,,,,,,,,";
}

std::optional<MatchedRecord> matchTariffRecord(std::string_view text, const ConnNames& connNames)
{
    // A name with blanks at its ends is stored as it is, so it is matched as
    // stored first; the trimmed name is the reading of records edited by hand.
    const auto match = [&connNames](TariffRecord record, std::string_view untrimmed) -> std::optional<MatchedRecord> {
        if (untrimmed != record.name) {
            if (const auto slot = matchingSlot(std::string(untrimmed), connNames)) {
                record.name = std::string(untrimmed);
                return MatchedRecord{*slot, std::move(record)};
            }
        }
        if (const auto slot = matchingSlot(record.name, connNames))
            return MatchedRecord{*slot, std::move(record)};
        return std::nullopt;
    };
    if (auto whole = parseTariffRecordWithCommaName(text)) {
        if (auto matched = match(std::move(*whole), text.substr(0, *commaNameEnd(text))))
            return matched;
    }
    return match(parseTariffRecord(text), text.substr(0, std::min(text.find(','), text.size())));
}

} // namespace zumi
