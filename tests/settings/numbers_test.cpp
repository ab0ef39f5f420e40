#include "numbers.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <vector>

namespace zumi {
namespace {

TEST(Numbers, LeadingNumberRoundsHalfEvenTakesThePrefixAndClamps)
{
    const std::vector<std::pair<std::string, std::int32_t>> cases = {
        {"2.5", 2}, {"3.5", 4}, {"0.5", 0}, {"-2.5", -2}, {" -3.5", -4}, {"2.6", 3}, {"7abc", 7}, {"7:30", 7},
        {"1,5", 1}, {" \t42 s", 42}, {"+8", 8}, {"1.5.5", 2}, {"1e3", 1000}, {"1e", 1}, {"5e+x", 5},
        {"", 0}, {"abc", 0}, {" ", 0}, {"-", 0}, {".", 0}, {"e5", 0}, {"- 3", 0},
        {"99999999999", INT32_MAX}, {"-99999999999", INT32_MIN}, {"2147483646.6", INT32_MAX},
        {"-2147483648", INT32_MIN}, {"1e400", INT32_MAX}, {"-1e400", INT32_MIN}, {"1e-400", 0},
        {std::string(5000, '9'), INT32_MAX}, {"0." + std::string(5000, '0') + "1", 0}};
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(leadingNumber(text), expected) << '"' << text << '"';

    EXPECT_EQ(roundToInt32(-1.5), -2);
    EXPECT_EQ(roundToInt32(2147483647.5), INT32_MAX);
    EXPECT_EQ(roundToInt32(-2147483648.5), INT32_MIN);
    EXPECT_EQ(roundToInt32(std::numeric_limits<double>::quiet_NaN()), 0);
}

TEST(Numbers, NumericValueNeedsTheWholeText)
{
    EXPECT_EQ(numericValue("  -12.25 "), -12.25);
    EXPECT_EQ(numericValue("5."), 5.0);
    EXPECT_EQ(numericValue("1e2"), 100.0);
    for (const char* text : {"", "  ", "600px", "6 00", "1e", "abc"})
        EXPECT_FALSE(isNumber(text)) << '"' << text << '"';
    ASSERT_TRUE(numericValue("1e999"));
    EXPECT_TRUE(std::isfinite(*numericValue("-1e999")));
}

TEST(Numbers, GetTokenWalksTheFieldsAndRunsDry)
{
    const auto tokens = [](std::string_view text, int calls) {
        std::vector<std::string> fields;
        std::size_t position = 0;
        while (calls-- > 0)
            fields.push_back(getToken(position, text, ','));
        return fields;
    };
    EXPECT_EQ(tokens("a, b ,c", 5), (std::vector<std::string>{"a", "b", "c", "", ""}));
    EXPECT_EQ(tokens("Net1,0,,", 5), (std::vector<std::string>{"Net1", "0", "", "", ""}));
    EXPECT_EQ(tokens(",x", 3), (std::vector<std::string>{"", "x", ""}));
    EXPECT_EQ(tokens("a;b", 1), (std::vector<std::string>{"a;b"}));

    // The position is the separator's place counted from 1, then past the end.
    std::size_t position = 0;
    EXPECT_EQ(getToken(position, "ab;cd", ';'), "ab");
    EXPECT_EQ(position, 3u);
    EXPECT_EQ(getToken(position, "ab;cd", ';'), "cd");
    EXPECT_EQ(position, 6u);
    EXPECT_EQ(getToken(position, "ab;cd", ';'), "");
    EXPECT_EQ(position, 6u);
}

} // namespace
} // namespace zumi
