// Arbitrary files and edits: no change keeps the file byte for byte, every
// value written reads back exactly, and no other key of any section changes.
#include "fuzz_target.h"
#include "settings/ini_format.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <iterator>
#include <map>

namespace {

using Sections = std::map<std::string, std::map<std::string, std::string>>;

// Every section's values by name, the named one included even when empty.
Sections allSections(std::string_view text, const std::string& named)
{
    Sections sections{{named, {}}};
    zumi::ini::LineReader reader(text);
    for (zumi::ini::Line line; reader.next(line);)
        sections[std::string(line.section)];
    for (auto& [name, values] : sections) {
        const zumi::ini::SectionIndex index(text, name);
        for (const auto& key : index.keys())
            values[key] = *index.read(key);
    }
    return sections;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The whole input is a settings file; the edits are drawn from the same bytes.
    std::string text(reinterpret_cast<const char*>(data), size);
    FuzzedDataProvider input(data, size);
    require(zumi::ini::applyChanges(text, "Settings", {}) == text);

    for (int edits = input.ConsumeIntegralInRange(0, 4); edits > 0; --edits) {
        const std::string section = input.ConsumeBool() ? "Settings" : input.ConsumeRandomLengthString(8);
        Sections expected = allSections(text, section);
        auto& values = expected[section];
        std::vector<zumi::ini::Change> changes;
        for (int n = input.ConsumeIntegralInRange(1, 3); n > 0; --n) {
            std::string key = input.ConsumeRandomLengthString(8);
            if (!values.empty() && input.ConsumeBool()) // a key the file already has
                key = std::next(values.begin(), input.ConsumeIntegralInRange<std::size_t>(0, values.size() - 1))->first;
            std::optional<std::string> value;
            if (input.ConsumeIntegralInRange(0, 3) != 0) {
                value = input.ConsumeRandomLengthString(24);
                require(zumi::ini::decodeValue(zumi::ini::encodeValue(*value)) == *value);
            }
            // Only keys (and sections) that read back the same may be stored.
            if (!zumi::ini::isStorableKey(key))
                continue;
            values.erase(key);
            if (value)
                values.emplace(key, *value);
            changes.emplace_back(std::move(key), std::move(value));
        }
        if (!zumi::ini::isStorableKey(section))
            continue;
        text = zumi::ini::applyChanges(text, section, changes);
        require(allSections(text, section) == expected);
    }
    return 0;
}
