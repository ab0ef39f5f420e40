// The leading number ignores leading blanks and what follows it and agrees
// with the whole-text reading; the splitter hands out the trimmed pieces.
#include "core/numbers.h"
#include "fuzz_target.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::int32_t n = zumi::leadingNumber(text);
    require(zumi::leadingNumber(" \t" + text) == n);
    require(zumi::leadingNumber(text + "x") == n); // "x" never continues a number
    if (const auto whole = zumi::numericValue(text)) {
        require(zumi::roundToInt32(*whole) == n);
        // The short cut for short literals reads what the full conversion reads.
        const std::string_view literal = zumi::trimBlanks(text);
        const std::size_t sign = literal.front() == '+' || literal.front() == '-';
        double full = 0;
        if (std::from_chars(literal.data() + sign, literal.data() + literal.size(), full).ec == std::errc())
            require((literal.front() == '-' ? -full : full) == *whole);
    }

    std::size_t position = 0;
    for (std::size_t start = 0, end = 0; start <= text.size(); start = end + 1) {
        end = std::min(text.find(',', start), text.size());
        std::string piece = text.substr(start, end - start);
        piece.erase(0, piece.find_first_not_of(" \t"));
        piece.erase(piece.find_last_not_of(" \t") + 1);
        require(zumi::getToken(position, text, ',') == piece && position == end + 1);
    }
    require(zumi::getToken(position, text, ',').empty() && position == text.size() + 1);

    if (size >= 8) { // halves to the even neighbour, as the default rounding mode does
        double x;
        std::memcpy(&x, data, sizeof x);
        if (std::isfinite(x) && std::fabs(x) < 2147483647.0)
            require(zumi::roundToInt32(x) == static_cast<std::int32_t>(std::nearbyint(x)));
        const auto k = static_cast<std::int32_t>(data[0] | data[1] << 8 | data[2] << 16 | std::uint32_t{data[3]} << 24);
        const std::int32_t r = zumi::roundToInt32(k + 0.5);
        require(k == INT32_MAX || ((r == k || r == k + 1) && r % 2 == 0));
    }
    return 0;
}
