#include "core/numbers.h"

#include <charconv>
#include <cmath>
#include <iterator>
#include <limits>
#include <optional>
#include <string>

namespace zumi {
namespace {

// Blanks are spaces and tabs, as a hand-edited settings file may hold either.
bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}
bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Length of the number at the start of text, 0 when there is none: an
// optional sign, then digits with an optional "." and fraction (one digit at
// least). Anything else ends it: "7:30" reads 7, "1,5" reads 1, "1e3" reads 1.
std::size_t literalLength(std::string_view text)
{
    const std::size_t n = text.size();
    std::size_t i = 0;
    if (i < n && (text[i] == '+' || text[i] == '-'))
        ++i;
    std::size_t digits = 0;
    while (i < n && isDigit(text[i])) {
        ++i;
        ++digits;
    }
    if (i < n && text[i] == '.') {
        std::size_t j = i + 1;
        while (j < n && isDigit(text[j])) {
            ++j;
            ++digits;
        }
        if (digits > 0)
            i = j;
    }
    return digits == 0 ? 0 : i;
}

// Whether a literal too large or too small for a double is large: it has a
// significant digit before the point.
bool overflows(std::string_view literal)
{
    for (const char c : literal) {
        if (c == '.')
            return false;
        if (c >= '1' && c <= '9')
            return true;
    }
    return false;
}

// The literal's value when its digits fit a double exactly (below 2^53) with
// at most 22 of them after the point: both operands of the one division are
// exact then, so its result is the correctly rounded value from_chars gives.
// Settings hold such numbers; from_chars, a large routine, reads the rest.
std::optional<double> exactQuotient(std::string_view digits)
{
    constexpr double powersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                      1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    constexpr std::uint64_t exactLimit = std::uint64_t{1} << 53;
    std::uint64_t mantissa = 0;
    std::size_t decimals = 0;
    bool afterPoint = false;
    for (const char c : digits) {
        if (c == '.') {
            afterPoint = true;
            continue;
        }
        mantissa = mantissa * 10 + static_cast<std::uint64_t>(c - '0');
        if (mantissa > exactLimit)
            return std::nullopt;
        if (afterPoint && ++decimals >= std::size(powersOfTen))
            return std::nullopt;
    }
    return static_cast<double>(mantissa) / powersOfTen[decimals];
}

// Reads a literal found by literalLength; never gives NaN or an infinity.
double literalValue(std::string_view literal)
{
    const bool negative = !literal.empty() && literal.front() == '-';
    if (!literal.empty() && (literal.front() == '+' || negative))
        literal.remove_prefix(1);
    if (const std::optional<double> exact = exactQuotient(literal))
        return negative ? -*exact : *exact;
    double value = 0;
    const auto [end, error] = std::from_chars(literal.data(), literal.data() + literal.size(), value);
    (void)end;
    if (error == std::errc::result_out_of_range) {
        if (!overflows(literal))
            return 0;
        const double largest = std::numeric_limits<double>::max();
        return negative ? -largest : largest;
    }
    if (error != std::errc() || !std::isfinite(value))
        return 0;
    return negative ? -value : value;
}

} // namespace

std::int32_t roundToInt32(double value)
{
    constexpr double low = std::numeric_limits<std::int32_t>::min();
    constexpr double high = std::numeric_limits<std::int32_t>::max();
    if (std::isnan(value))
        return 0;
    if (value <= low)
        return std::numeric_limits<std::int32_t>::min();
    if (value >= high)
        return std::numeric_limits<std::int32_t>::max();
    // Halves go to the even neighbour, whatever rounding mode is set. In
    // range the whole part is exact as an integer, so no floor() is needed.
    auto whole = static_cast<std::int64_t>(value); // toward zero
    if (static_cast<double>(whole) > value)
        --whole;
    const double fraction = value - static_cast<double>(whole);
    if (fraction > 0.5 || (fraction == 0.5 && whole % 2 != 0))
        ++whole; // at most the largest value: value is below it
    return static_cast<std::int32_t>(whole);
}

std::int32_t leadingNumber(std::string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    const std::size_t length = literalLength(text);
    if (length == 0)
        return 0;
    return roundToInt32(literalValue(text.substr(0, length)));
}

std::optional<double> numericValue(std::string_view text)
{
    text = trimBlanks(text);
    const std::size_t length = literalLength(text);
    if (length == 0 || length != text.size())
        return std::nullopt;
    return literalValue(text);
}

std::string getToken(std::size_t& position, std::string_view text, char separator)
{
    // position counts from 1 as the caller sees it: the field starts right
    // after it, which is index position when counting from 0.
    std::string_view field;
    const std::size_t found = position < text.size() ? text.find(separator, position) : std::string_view::npos;
    if (found != std::string_view::npos) {
        field = text.substr(position, found - position);
        position = found + 1;
    } else {
        if (position < text.size())
            field = text.substr(position);
        position = text.size() + 1;
    }
    return std::string(trimBlanks(field));
}

std::string_view trimBlanks(std::string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

std::string trimAtNul(std::string_view text)
{
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    text = text.substr(first, text.find_last_not_of(' ') - first + 1);
    return std::string(text.substr(0, text.find('\0')));
}

} // namespace zumi
