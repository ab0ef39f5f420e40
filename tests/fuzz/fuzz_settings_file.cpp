// The settings file reader over arbitrary files and edits: parsing never
// fails and gives back the file byte for byte, every value written reads back
// exactly, and an edit touches no other key of any section.
#include "ini_format.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <iterator>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace {

using zumi::ini::Document;
using Values = std::map<std::string, std::string>;

void require(bool condition)
{
    if (!condition)
        std::abort();
}

std::set<std::string> sectionNames(const Document& document)
{
    std::set<std::string> names{"Settings"};
    for (const auto& line : document.lines)
        names.insert(line.section);
    return names;
}

std::map<std::string, Values> allSections(const Document& document)
{
    std::map<std::string, Values> sections;
    for (const auto& name : sectionNames(document))
        sections[name] = zumi::ini::entries(document, name);
    return sections;
}

// Parsing what format wrote finds the same lines again.
void checkStable(const Document& document)
{
    const std::string text = zumi::ini::format(document);
    const Document again = zumi::ini::parse(text);
    require(zumi::ini::format(again) == text);
    require(again.lines.size() == document.lines.size());
    for (std::size_t i = 0; i < again.lines.size(); ++i) {
        const auto& a = document.lines[i];
        const auto& b = again.lines[i];
        require(a.kind == b.kind && a.text == b.text && a.section == b.section);
        if (a.kind == zumi::ini::LineKind::Entry)
            require(a.key == b.key && a.value == b.value);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The whole input is a settings file; the edits are drawn from the same bytes.
    const std::string text(reinterpret_cast<const char*>(data), size);
    FuzzedDataProvider input(data, size);
    Document document = zumi::ini::parse(text);
    const Values present = zumi::ini::entries(document, "Settings");
    static const char* const kKnownKeys[] = {"00", "01", "Right", "Top", "Vorlauf", "HangupBytes", "HangupTakte"};

    const int edits = input.ConsumeIntegralInRange(0, 4);
    std::vector<std::tuple<std::string, std::string, std::optional<std::string>>> changes;
    for (int i = 0; i < edits; ++i) {
        std::string section = input.ConsumeBool() ? "Settings" : input.ConsumeRandomLengthString(8);
        std::string key;
        switch (input.ConsumeIntegralInRange(0, 2)) {
        case 0: // a key the file already has
            if (!present.empty()) {
                auto it = present.begin();
                std::advance(it, input.ConsumeIntegralInRange<std::size_t>(0, present.size() - 1));
                key = it->first;
                break;
            }
            [[fallthrough]];
        case 1: key = kKnownKeys[input.ConsumeIntegralInRange<std::size_t>(0, std::size(kKnownKeys) - 1)]; break;
        default: key = input.ConsumeRandomLengthString(8);
        }
        std::optional<std::string> value;
        if (input.ConsumeIntegralInRange(0, 3) != 0)
            value = input.ConsumeRandomLengthString(24);
        changes.emplace_back(std::move(section), std::move(key), std::move(value));
    }

    // Any text reads, and writing it out again gives the same bytes.
    require(zumi::ini::format(document) == text);
    require(zumi::ini::readSection(text, "Settings") == zumi::ini::entries(document, "Settings"));
    checkStable(document);

    for (const auto& [section, key, value] : changes) {
        if (value)
            require(zumi::ini::decodeValue(zumi::ini::encodeValue(*value)) == *value);
        // Only keys that read back the same may be stored; the same rule
        // keeps section names to what a header line can carry.
        if (!zumi::ini::isStorableKey(key) || !zumi::ini::isStorableKey(section))
            continue;

        auto expected = allSections(document);
        if (value)
            expected[section][key] = *value;
        else
            expected[section].erase(key);

        zumi::ini::setValue(document, section, key, value);
        const std::string written = zumi::ini::format(document);
        const Document reread = zumi::ini::parse(written);
        auto found = allSections(reread);
        // Sections that did not exist before read as empty on both sides.
        for (const auto& [name, values] : expected)
            found.try_emplace(name);
        for (const auto& [name, values] : found)
            expected.try_emplace(name);
        require(found == expected);
        checkStable(document);
        document = reread;
    }
    return 0;
}
