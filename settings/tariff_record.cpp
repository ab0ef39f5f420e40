#include "tariff_record.h"

#include "numbers.h"

#include <algorithm>
#include <vector>

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
    if (text.empty() || text.back() != ',')
        return std::nullopt;
    std::vector<std::size_t> commas;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (text[i] == ',')
            commas.push_back(i);
    if (commas.size() <= static_cast<std::size_t>(kRecordFields))
        return std::nullopt;
    const std::size_t nameEnd = commas[commas.size() - kRecordFields];
    TariffRecord record;
    record.name = std::string(trimBlanks(text.substr(0, nameEnd)));
    std::size_t position = nameEnd + 1;
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
    if (auto whole = parseTariffRecordWithCommaName(text)) {
        if (const auto slot = matchingSlot(whole->name, connNames))
            return MatchedRecord{*slot, std::move(*whole)};
    }
    auto record = parseTariffRecord(text);
    if (const auto slot = matchingSlot(record.name, connNames))
        return MatchedRecord{*slot, std::move(record)};
    return std::nullopt;
}

} // namespace zumi
