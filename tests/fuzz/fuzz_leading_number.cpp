// Any text must convert without crashing; the leading number must agree with
// the whole-text reading, ignore leading blanks and what follows the number,
// and the field splitter must give back exactly the comma-separated pieces.
#include "numbers.h"

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

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

void checkNumbers(std::string_view text)
{
    const std::int32_t n = zumi::leadingNumber(text);
    require(zumi::leadingNumber(" \t" + std::string(text)) == n);
    require(zumi::leadingNumber(std::string(text) + "x") == n); // "x" never continues a number
    if (const auto whole = zumi::numericValue(text))
        require(zumi::roundToInt32(*whole) == n);
    if (zumi::isNumber(text))
        require(zumi::numericValue(text).has_value());
}

void checkTokens(std::string_view text)
{
    std::size_t position = 0;
    std::size_t start = 0; // where the next piece begins, by a plain split
    std::size_t fields = 0;
    while (position <= text.size()) {
        const std::size_t before = position;
        const std::string field = zumi::getToken(position, text, ',');
        require(position > before);
        const std::size_t comma = text.find(',', start);
        const std::string_view piece = text.substr(start, comma == std::string_view::npos ? std::string_view::npos
                                                                                            : comma - start);
        require(field == trimmed(piece));
        start = comma == std::string_view::npos ? text.size() + 1 : comma + 1;
        require(position == start);
        ++fields;
    }
    std::size_t commas = 0;
    for (const char c : text)
        commas += c == ',';
    require(fields == commas + 1);
    // Past the end every further field is empty.
    require(zumi::getToken(position, text, ',').empty() && position == text.size() + 1);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    checkNumbers(text);
    checkTokens(text);

    // Halves go to the even neighbour.
    if (size >= 4) {
        const auto k = static_cast<std::int32_t>(static_cast<std::uint32_t>(data[0]) | data[1] << 8 | data[2] << 16
                                                 | static_cast<std::uint32_t>(data[3]) << 24);
        if (k < INT32_MAX) {
            const std::int32_t r = zumi::roundToInt32(k + 0.5);
            require((r == k || r == k + 1) && r % 2 == 0);
        }
    }
    return 0;
}
