// Any stored record splits into clean fields and matches only an entry of its
// exact name; a written record reads back into its entry, commas included.
#include "core/numbers.h"
#include "fuzz_target.h"
#include "settings/tariff_record.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <tuple>

namespace {

using zumi::TariffRecord;

bool same(const TariffRecord& a, const TariffRecord& b)
{
    return std::tie(a.name, a.start, a.takt) == std::tie(b.name, b.start, b.takt);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The input is a stored record; its bytes also make a phonebook and a dialog's record.
    const std::string text(reinterpret_cast<const char*>(data), size);
    FuzzedDataProvider input(data, size);
    zumi::ConnNames names;
    for (auto& name : names)
        name = input.ConsumeRandomLengthString(6);

    const TariffRecord plain = zumi::parseTariffRecord(text);
    require(same(zumi::parseTariffRecord(zumi::formatTariffRecord(plain)), plain));
    if (const auto matched = zumi::matchTariffRecord(text, names)) {
        require(matched->connection >= 0 && matched->connection < zumi::kMaxConnections);
        require(!matched->record.name.empty() && names[matched->connection] == matched->record.name);
        // Band fields as the reader hands them out (no comma, no outer blanks) are written and read again unchanged.
        TariffRecord bands = matched->record;
        bands.name.clear();
        require(same(zumi::parseTariffRecord(zumi::formatTariffRecord(bands)), bands));
    }

    // Written, then loaded back behind other entries: the same fields, commas in bands as points.
    const int slot = input.ConsumeIntegralInRange(0, zumi::kMaxConnections - 1);
    TariffRecord record;
    record.name = input.ConsumeRandomLengthString(16); // blanks at its ends included
    for (int band = 0; band < zumi::kBands; ++band) {  // as the dialog hands them over: without outer blanks
        record.start[band] = zumi::trimBlanks(input.ConsumeRandomLengthString(8));
        record.takt[band] = zumi::trimBlanks(input.ConsumeRandomLengthString(8));
    }
    zumi::ConnNames phonebook;
    for (int i = 0; i < slot; ++i)
        phonebook[i] = "\x01" + std::to_string(i);
    phonebook[slot] = record.name;
    const std::string written = zumi::formatTariffRecord(record);
    require(!zumi::endsRecordList(written));
    const auto matched = zumi::matchTariffRecord(written, phonebook);
    if (record.name.empty())
        require(!matched); // a nameless record belongs to nobody
    else if (record.name[0] != '\x01')
        require(matched && matched->connection == slot && zumi::formatTariffRecord(matched->record) == written);
    return 0;
}
