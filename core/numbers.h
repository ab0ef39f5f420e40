#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zumi {

// The number at the start of the text after leading blanks ("." as decimal
// point), rounded half to even and clamped into the 32-bit range; 0 when the
// text does not begin with a number. It ends before anything but the digits
// and one decimal point, so "1e3" reads 1.
std::int32_t leadingNumber(std::string_view text);

// The whole text (blanks around it allowed) read as a number, else nullopt.
std::optional<double> numericValue(std::string_view text);
inline bool isNumber(std::string_view text)
{
    return numericValue(text).has_value();
}

// The text without blanks (spaces, tabs) at either end.
std::string_view trimBlanks(std::string_view text);

// Rounds half to even into the 32-bit range.
std::int32_t roundToInt32(double value);

// The next separator-delimited field after position (0 before the first
// field), blanks trimmed; position moves to the separator found, or past the end.
std::string getToken(std::size_t& position, std::string_view text, char separator);

// Trims spaces at both ends, then cuts before the first NUL.
std::string trimAtNul(std::string_view text);

template <typename T>
void clampValue(T& value, T low, T high)
{
    if (value < low)
        value = low;
    if (value > high)
        value = high;
}

} // namespace zumi
