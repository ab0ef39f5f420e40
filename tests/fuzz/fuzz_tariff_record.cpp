// Stored tariff records, read and written: arbitrary texts split into clean
// fields and are matched only to a phonebook entry of the same name; a record
// this program writes reads back as it was, commas in the name included.
#include "settings_io.h"
#include "tariff_record.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

void require(bool condition)
{
    if (!condition)
        std::abort();
}

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string trimmed(std::string text)
{
    while (!text.empty() && isBlank(text.back()))
        text.pop_back();
    std::size_t first = 0;
    while (first < text.size() && isBlank(text[first]))
        ++first;
    return text.substr(first);
}

// A field as the reader hands it out: no comma, no blanks at either end.
bool cleanField(const std::string& field)
{
    return field.find(',') == std::string::npos && trimmed(field) == field;
}

bool sameRecord(const zumi::TariffRecord& a, const zumi::TariffRecord& b)
{
    return a.name == b.name && a.start == b.start && a.takt == b.takt;
}

void checkFields(const zumi::TariffRecord& record, bool nameClean)
{
    require(!nameClean || cleanField(record.name));
    require(trimmed(record.name) == record.name);
    for (int band = 0; band < zumi::kBands; ++band)
        require(cleanField(record.start[band]) && cleanField(record.takt[band]));
}

// Arbitrary text against an arbitrary phonebook: never a crash, and a match
// names a non-empty entry that carries exactly the record's name.
void checkArbitraryText(std::string_view text, const zumi::ConnNames& names)
{
    checkFields(zumi::parseTariffRecord(text), true);
    if (const auto withCommas = zumi::parseTariffRecordWithCommaName(text)) {
        require(!text.empty() && text.back() == ',');
        checkFields(*withCommas, false);
    }
    if (const auto matched = zumi::matchTariffRecord(text, names)) {
        require(matched->connection >= 0 && matched->connection < zumi::kMaxConnections);
        const std::string& entry = names[static_cast<std::size_t>(matched->connection)];
        require(!entry.empty() && entry == matched->record.name);
        checkFields(matched->record, false);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The whole input is a stored record text; the bytes also seed a record
    // as the dialog would hand it over (commas allowed anywhere) and a phonebook.
    const std::string text(reinterpret_cast<const char*>(data), size);
    FuzzedDataProvider input(data, size);
    zumi::TariffRecord record;
    record.name = trimmed(input.ConsumeRandomLengthString(16));
    for (int band = 0; band < zumi::kBands; ++band) {
        record.start[band] = trimmed(input.ConsumeRandomLengthString(8));
        record.takt[band] = trimmed(input.ConsumeRandomLengthString(8));
    }
    const int slot = input.ConsumeIntegralInRange(0, zumi::kMaxConnections - 1);
    zumi::ConnNames names;
    for (int i = 0; i < zumi::kMaxConnections && input.remaining_bytes() > 0; ++i)
        names[static_cast<std::size_t>(i)] = input.ConsumeRandomLengthString(6);

    checkArbitraryText(text, names);

    // What the plain reader found writes back as the same fields.
    const zumi::TariffRecord plain = zumi::parseTariffRecord(text);
    require(sameRecord(zumi::parseTariffRecord(zumi::formatTariffRecord(plain)), plain));

    // What is written: band texts with their commas turned into points.
    const std::string written = zumi::formatTariffRecord(record);
    require(!zumi::endsRecordList(written));
    zumi::TariffRecord stored = record;
    for (int band = 0; band < zumi::kBands; ++band) {
        stored.start[band] = zumi::storableBandText(stored.start[band]);
        stored.takt[band] = zumi::storableBandText(stored.takt[band]);
    }
    checkArbitraryText(written, names);

    // The record written from the tables is the same text.
    zumi::TariffTables tables;
    for (int band = 0; band < zumi::kBands; ++band) {
        tables.setStart(slot, band, record.start[band]);
        tables.setTakt(slot, band, record.takt[band]);
    }
    require(zumi::formatTariffRecord(record.name, tables, slot) == written);

    // Comma-free: the plain split gives the record back.
    if (record.name.find(',') == std::string::npos)
        require(sameRecord(zumi::parseTariffRecord(written), stored));

    // Loaded back by name into the entry that carries it; the entries before
    // it are other, non-empty names.
    zumi::ConnNames phonebook;
    for (int i = 0; i < slot; ++i)
        phonebook[static_cast<std::size_t>(i)] = "\x01" + std::to_string(i);
    phonebook[static_cast<std::size_t>(slot)] = record.name;
    const auto matched = zumi::matchTariffRecord(written, phonebook);
    if (record.name.empty()) {
        require(!matched.has_value()); // a nameless record belongs to nobody
    } else if (record.name[0] != '\x01') {
        require(matched.has_value());
        require(matched->connection == slot);
        require(sameRecord(matched->record, stored));
    }
    return 0;
}
