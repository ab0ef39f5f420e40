#include "core/numbers.h"

#include <gtest/gtest.h>

#include <vector>

namespace zumi {
namespace {

TEST(Numbers, LeadingNumberRoundsHalfEvenTakesThePrefixAndClamps)
{
    const auto expect = [](const std::vector<std::pair<std::string, std::int32_t>>& cases) {
        for (const auto& [text, expected] : cases)
            EXPECT_EQ(leadingNumber(text), expected) << '"' << text << '"';
    };
    expect({{"2.5", 2}, {"3.5", 4}, {" -3.5", -4}, {"2.6", 3}}); // halves to even
    expect({{"7:30", 7}, {"1,5", 1}, {" \t42 s", 42}, {"+8", 8}, {"1.5.5", 2}, {"5.", 5}});
    expect({{"1e3", 1}, {"2e1", 2}, {"1e", 1}, {"5e+x", 5}, {"e5", 0}}); // no exponent
    expect({{"", 0}, {"-", 0}, {".", 0}, {"- 3", 0}});
    expect({{"99999999999", INT32_MAX}, {"-99999999999", INT32_MIN}, {"2147483646.6", INT32_MAX}});
    expect({{"-2147483648", INT32_MIN}, {std::string(5000, '9'), INT32_MAX}, {"0." + std::string(5000, '0') + "1", 0}});
    for (const char* text : {"", "  ", "600px", "6 00", "1e", "1e3", "abc"})
        EXPECT_FALSE(isNumber(text)) << '"' << text << '"';
    EXPECT_EQ(numericValue("  -12.25 "), -12.25);
    // Short literals are read by one exact division, longer ones in full: both correctly rounded.
    for (const auto& [text, value] :
         std::vector<std::pair<std::string, double>>{{"0.1", 0.1},
                                                     {"9007199254740993", 9007199254740992.0}, // 2^53 + 1: to even
                                                     {"0.0000000000000000000001", 1e-22},
                                                     {"0.00000000000000000000001", 1e-23},
                                                     {"123456789.123456789", 123456789.123456789},
                                                     {"-0.3", -0.3}})
        EXPECT_EQ(numericValue(text), value) << text;
    EXPECT_EQ(roundToInt32(-0.5), 0);
    EXPECT_EQ(roundToInt32(-1.5), -2);
}

} // namespace
} // namespace zumi
