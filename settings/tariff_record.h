#pragma once
#include "core/conn_names.h"
#include "settings/settings.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace zumi {

// One stored tariff record: the entry name, then bandStart 0..3, bandTakt
// 0..3, bandStart 4..7, bandTakt 4..7, each field followed by a comma.
struct TariffRecord {
    std::string name;
    std::array<std::string, kBands> start;
    std::array<std::string, kBands> takt;
};

// Splits a record as the loader reads it: the first field is the name, the
// next 16 fill the bands; missing fields are "", surplus ones are ignored,
// each field is trimmed of blanks.
TariffRecord parseTariffRecord(std::string_view text);

// The other reading of a record whose name holds commas: when the text ends
// with a comma and has more than 17, the name runs up to the 17th comma from
// the end. nullopt for any other text.
std::optional<TariffRecord> parseTariffRecordWithCommaName(std::string_view text);

// The record's text; commas inside band texts become "." (see storableBandText).
std::string formatTariffRecord(const TariffRecord& record);

// A band text as it can be kept in a record: a comma would shift every later
// field, so it is written as the decimal point it most likely stands for.
std::string storableBandText(std::string text);

// "" or exactly nine commas: no record here, and none after it is read.
bool endsRecordList(std::string_view text);

struct MatchedRecord {
    int connection = 0;
    TariffRecord record;
};

// The connection a record belongs to: the first entry of connNames that is
// equal to its name or empty, when that entry is not empty. A name with
// commas is matched whole first. nullopt when the record is to be ignored.
std::optional<MatchedRecord> matchTariffRecord(std::string_view text, const ConnNames& connNames);

} // namespace zumi
