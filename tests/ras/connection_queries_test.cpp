#include "connection_queries.h"
#include "fake_dialup.h"
#include "phonebook_order.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>

namespace zumi {
namespace {

using namespace std::string_literals;
using test::FakeDialUp;

TEST(TrimAtNul, TrimsFirstThenCutsAtTheFirstNul)
{
    EXPECT_EQ(trimAtNul("  abc \0\0\0"s), "abc ");
    EXPECT_EQ(trimAtNul("ab\0cd"s), "ab");
    EXPECT_EQ(trimAtNul("   "), "");
    EXPECT_EQ(trimAtNul(""), "");
    EXPECT_EQ(trimAtNul("\0abc"s), "");
    EXPECT_EQ(trimAtNul(" x y "), "x y");
}

TEST(GetActiveConnection, NoConnectionSetsTheHandleToZero)
{
    FakeDialUp dialUp;
    std::int32_t handle = 77;
    EXPECT_EQ(getActiveConnection(dialUp, handle), "");
    EXPECT_EQ(handle, 0);
}

TEST(GetActiveConnection, FailedEnumerationLeavesTheHandle)
{
    FakeDialUp dialUp;
    dialUp.connect(5, "Arcor");
    dialUp.enumFails = true;
    std::int32_t handle = 77;
    EXPECT_EQ(getActiveConnection(dialUp, handle), "");
    EXPECT_EQ(handle, 77);
}

TEST(GetActiveConnection, OnlyTheFirstConnectionCounts)
{
    FakeDialUp dialUp;
    dialUp.connect(11, "Erste");
    dialUp.connect(22, "Zweite");
    std::int32_t handle = 0;
    EXPECT_EQ(getActiveConnection(dialUp, handle), "Erste");
    EXPECT_EQ(handle, 11);

    hangUpConnection(dialUp);
    EXPECT_EQ(dialUp.hangUps, std::vector<std::int32_t>{11});
}

TEST(GetActiveConnection, DirectCableConnectionHasNoNameButAHandle)
{
    FakeDialUp dialUp;
    dialUp.connect(9, "My Direct Cable Connection 2");
    std::int32_t handle = 0;
    EXPECT_EQ(getActiveConnection(dialUp, handle), "");
    EXPECT_EQ(handle, 9);

    // The exclusion is an exact, case-sensitive substring match.
    dialUp.connections = {{9, "direct cable connection"}};
    EXPECT_EQ(getActiveConnection(dialUp, handle), "direct cable connection");
    dialUp.connections = {{9, "DIRECT CABLE CONNECTION"}};
    EXPECT_EQ(getActiveConnection(dialUp, handle), "DIRECT CABLE CONNECTION");
}

TEST(GetActiveConnection, NameIsCutAtNulButKeepsItsBlanks)
{
    FakeDialUp dialUp;
    dialUp.connect(3, " T-Online \0garbage"s);
    std::int32_t handle = 0;
    EXPECT_EQ(getActiveConnection(dialUp, handle), " T-Online ");
}

TEST(HangUpConnection, DoesNothingWithoutAConnection)
{
    FakeDialUp dialUp;
    hangUpConnection(dialUp);
    dialUp.connect(4, "x");
    dialUp.enumFails = true;
    hangUpConnection(dialUp);
    EXPECT_TRUE(dialUp.hangUps.empty());
}

TEST(GetConnectState, ReportsTheBackendsStateAndZeroForUnknownHandles)
{
    FakeDialUp dialUp;
    dialUp.connect(4, "x");
    EXPECT_EQ(getConnectState(dialUp, 4), kStateConnected);
    dialUp.states[4] = kStateDisconnected;
    EXPECT_EQ(getConnectState(dialUp, 4), kStateDisconnected);
    EXPECT_EQ(getConnectState(dialUp, 5), 0);
}

TEST(FindConnectionSlot, FirstExactMatchOrFirstEmptyOrNone)
{
    ConnNames names{};
    names[0] = "A";
    names[1] = "b";
    EXPECT_EQ(findConnectionSlot(names, "b"), 1);
    EXPECT_EQ(findConnectionSlot(names, "B"), 2);
    for (int i = 0; i < kMaxConnections; ++i)
        names[static_cast<std::size_t>(i)] = "n" + std::to_string(i);
    EXPECT_EQ(findConnectionSlot(names, "n29"), 29);
    EXPECT_EQ(findConnectionSlot(names, "other"), kNoConnectionSlot);
}

TEST(LoadPhonebook, SortsCaseInsensitively)
{
    FakeDialUp dialUp;
    dialUp.phonebook = {"b", "A", "c"};
    ConnNames names{};
    const auto menu = loadPhonebook(dialUp, names, std::locale::classic());
    EXPECT_EQ(menu, (std::vector<std::string>{"A", "b", "c"}));
    EXPECT_EQ(names[0], "A");
    EXPECT_EQ(names[1], "b");
    EXPECT_EQ(names[2], "c");
    EXPECT_EQ(names[3], "");

    // The user's locale gives the same order for plain letters.
    ConnNames fromUserLocale{};
    EXPECT_EQ(loadPhonebook(dialUp, fromUserLocale), menu);
}

TEST(LoadPhonebook, NamesDifferingOnlyInCaseKeepAFixedOrder)
{
    std::vector<std::string> one{"abc", "ABC", "Abd", "aBc"};
    std::vector<std::string> two{"aBc", "Abd", "ABC", "abc"};
    sortPhonebookNames(one, std::locale::classic());
    sortPhonebookNames(two, std::locale::classic());
    EXPECT_EQ(one, two);
    EXPECT_EQ(one.back(), "Abd");
}

TEST(LoadPhonebook, ShrinkingPhonebookKeepsTheLaterNames)
{
    FakeDialUp dialUp;
    dialUp.phonebook = {"e", "d", "c", "b", "a"};
    ConnNames names{};
    loadPhonebook(dialUp, names, std::locale::classic());
    dialUp.phonebook = {"z", "y", "x"};
    const auto menu = loadPhonebook(dialUp, names, std::locale::classic());
    EXPECT_EQ(menu, (std::vector<std::string>{"x", "y", "z"}));
    EXPECT_EQ(names[2], "z");
    EXPECT_EQ(names[3], "d");
    EXPECT_EQ(names[4], "e");
}

TEST(LoadPhonebook, EmptyPhonebookLeavesTheTable)
{
    FakeDialUp dialUp;
    ConnNames names{};
    names[0] = "Alt";
    EXPECT_TRUE(loadPhonebook(dialUp, names, std::locale::classic()).empty());
    EXPECT_EQ(names[0], "Alt");
}

TEST(LoadPhonebook, NeverMoreThanThirtyNames)
{
    FakeDialUp dialUp;
    for (int i = 34; i >= 0; --i)
        dialUp.phonebook.push_back("p" + std::string(i < 10 ? "0" : "") + std::to_string(i));
    ConnNames names{};
    const auto menu = loadPhonebook(dialUp, names, std::locale::classic());
    ASSERT_EQ(menu.size(), 30u);
    EXPECT_EQ(menu.front(), "p00");
    EXPECT_EQ(menu.back(), "p29");
    EXPECT_EQ(names[29], "p29");
}

TEST(LoadPhonebook, SortsUtf8NamesByCharacterNotByByte)
{
    std::locale utf8;
    try {
        utf8 = std::locale("C.UTF-8");
    } catch (const std::runtime_error&) {
        GTEST_SKIP() << "the C.UTF-8 locale is not installed";
    }
    // Case folding applies to the whole character, and a broken sequence
    // does not upset the order.
    std::vector<std::string> names{"\xC3\x9C" "ber", "\xC3\xA4" "h", "b", "Z", "bad\xC3", "\xC3\x84" "a"};
    sortPhonebookNames(names, utf8);
    EXPECT_EQ(names, (std::vector<std::string>{"b", "bad\xC3", "Z", "\xC3\x84" "a", "\xC3\xA4" "h", "\xC3\x9C" "ber"}));
}

class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value)
        : name_(name)
    {
        if (const char* old = std::getenv(name))
            old_ = old;
        ::setenv(name, value, 1);
    }
    ~ScopedEnv()
    {
        if (old_)
            ::setenv(name_, old_->c_str(), 1);
        else
            ::unsetenv(name_);
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

TEST(LoadPhonebook, UnknownUserLocaleFallsBackToClassic)
{
    ScopedEnv env("LC_ALL", "xx_XX.NOT-INSTALLED");
    EXPECT_EQ(userLocale(), std::locale::classic());
    FakeDialUp dialUp;
    dialUp.phonebook = {"b", "A"};
    ConnNames names{};
    EXPECT_EQ(loadPhonebook(dialUp, names), (std::vector<std::string>{"A", "b"}));
}

} // namespace
} // namespace zumi
