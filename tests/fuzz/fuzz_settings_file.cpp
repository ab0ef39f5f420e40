// The settings file reader over arbitrary files and edits: parsing never fails
// and gives back the file byte for byte, every value written reads back
// exactly, and an edit touches no other key of any section.
#include "fuzz_target.h"
#include "ini_format.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <iterator>

namespace {

using Sections = std::map<std::string, std::map<std::string, std::string>>;

// Every section's values by name, the named one included even when empty.
Sections allSections(const zumi::ini::Document& document, const std::string& named)
{
    Sections sections{{named, {}}};
    for (const auto& line : document.lines)
        sections[line.section];
    for (auto& [name, values] : sections)
        values = zumi::ini::entries(document, name);
    return sections;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The whole input is a settings file; the edits are drawn from the same bytes.
    const std::string text(reinterpret_cast<const char*>(data), size);
    FuzzedDataProvider input(data, size);
    zumi::ini::Document document = zumi::ini::parse(text);
    require(zumi::ini::format(document) == text);

    for (int edits = input.ConsumeIntegralInRange(0, 4); edits > 0; --edits) {
        const std::string section = input.ConsumeBool() ? "Settings" : input.ConsumeRandomLengthString(8);
        Sections expected = allSections(document, section);
        auto& values = expected[section];
        std::string key = input.ConsumeRandomLengthString(8);
        if (!values.empty() && input.ConsumeBool()) // a key the file already has
            key = std::next(values.begin(), input.ConsumeIntegralInRange<std::size_t>(0, values.size() - 1))->first;
        std::optional<std::string> value;
        if (input.ConsumeIntegralInRange(0, 3) != 0) {
            value = input.ConsumeRandomLengthString(24);
            require(zumi::ini::decodeValue(zumi::ini::encodeValue(*value)) == *value);
        }
        // Only keys that read back the same may be stored; the same rule keeps
        // section names to what a header line can carry.
        if (!zumi::ini::isStorableKey(key) || !zumi::ini::isStorableKey(section))
            continue;
        values.erase(key);
        if (value)
            values.emplace(key, *value);
        zumi::ini::setValue(document, section, key, value);
        document = zumi::ini::parse(zumi::ini::format(document));
        require(allSections(document, section) == expected);
    }
    return 0;
}
