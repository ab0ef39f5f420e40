#include "ini_format.h"

#include <gtest/gtest.h>

namespace zumi::ini {
namespace {

TEST(IniFormat, ReadsHandWrittenFilesTolerantly)
{
    const std::string text = "\xEF\xBB\xBF; by hand\r\n"
                             "stray=before any section\r\n"
                             "[Other]\r\n"
                             "00=not ours\r\n"
                             "[ Settings ]\r\n"
                             "  00 = Net1,0,9,18,21,150,90,90,150,0,,,,240,,,,\r\n"
                             "# comment=with equals\r\n"
                             "garbage line\r\n"
                             "=no key\r\n"
                             "Vorlauf=\"  3 \\x41\"\r\n"
                             "Broken=\"unterminated\r\n"
                             "Odd=\"a\"b\"\r\n"
                             "Right=1\r\n"
                             "Right=2\r\n"
                             "Empty=";
    const auto values = readSection(text, "Settings");
    EXPECT_EQ(values, (std::map<std::string, std::string>{{"00", "Net1,0,9,18,21,150,90,90,150,0,,,,240,,,,"},
                                                          {"Vorlauf", "  3 A"},
                                                          {"Broken", "\"unterminated"},
                                                          {"Odd", "\"a\"b\""},
                                                          {"Right", "2"},
                                                          {"Empty", ""}}));
    auto document = parse(text);
    EXPECT_EQ(format(document), text);
    // Removing a key takes every line of it, so no older one shows through.
    setValue(document, "Settings", "Right", std::nullopt);
    EXPECT_EQ(readSection(format(document), "Settings").count("Right"), 0u);
}

TEST(IniFormat, QuotesOnlyWhatWouldNotSurviveRaw)
{
    EXPECT_EQ(encodeValue("a,b \"c\" C:\\x Grüße="), "a,b \"c\" C:\\x Grüße=");
    EXPECT_EQ(encodeValue(" a"), "\" a\"");
    EXPECT_EQ(encodeValue("\"a"), "\"\\\"a\"");
    EXPECT_EQ(encodeValue(std::string("a\n\0", 3)), "\"a\\n\\x00\"");
    for (const char* key : {"", " a", "a=b", "[x]", ";x", "#x", "a\nb"})
        EXPECT_FALSE(isStorableKey(key)) << key;
}

} // namespace
} // namespace zumi::ini
