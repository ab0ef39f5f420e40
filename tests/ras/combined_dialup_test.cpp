// pppd's and NetworkManager's links as one dial-up system.
#include "ras/combined_bytes.h"
#include "ras/combined_dialup.h"

#include "fake_dialup.h"

#include <gtest/gtest.h>

namespace zumi {
namespace {

TEST(Combined, PhonebooksAndConnectionsOfBothTheOneSeenFirstFirstRequestsToTheirOwner)
{
    auto* pppd = new test::FakeDialUp;
    auto* manager = new test::FakeDialUp;
    CombinedDialUp both{std::unique_ptr<DialUpAccess>(pppd), std::unique_ptr<DialUpAccess>(manager)};
    const auto listed = [&] {
        std::string out;
        for (const DialUpConnection& c : both.enumConnections().connections)
            out += std::to_string(c.handle & ~CombinedDialUp::kSecondHandleBit)
                + (both.ofSecond(c.handle) ? "nm " : " ") + c.entryName + ";";
        return out;
    };

    pppd->phonebookError = PhonebookError::NotPermitted;
    EXPECT_EQ(both.phonebookEntries().error, PhonebookError::NotPermitted) << "nothing anywhere: the reason stays";
    manager->phonebook = {"Iridium", "provider"};
    const Phonebook managerOnly = both.phonebookEntries();
    EXPECT_EQ(managerOnly.error, PhonebookError::None);
    EXPECT_EQ(managerOnly.entries, (std::vector<std::string>{"Iridium", "provider"}));
    pppd->phonebookError = PhonebookError::None;
    pppd->phonebook = {"provider", "satellit"};
    EXPECT_EQ(both.phonebookEntries().entries, (std::vector<std::string>{"Iridium", "provider", "satellit"}));
    for (const char* name : {"provider", "satellit", "Iridium"})
        both.dial(name);
    EXPECT_EQ(manager->dials, (std::vector<std::string>{"provider", "Iridium"}));
    EXPECT_EQ(pppd->dials, (std::vector<std::string>{"satellit"}));
    // NetworkManager gone, its profile still in a menu: it says why, not pppd's phonebook.
    manager->phonebook.clear();
    both.dial("Iridium");
    EXPECT_EQ(manager->dials, (std::vector<std::string>{"provider", "Iridium", "Iridium"}));

    manager->connect(1, "Iridium");
    EXPECT_EQ(listed(), "1nm Iridium;");
    pppd->connect(4711, "provider");
    manager->connect(2, "Stick");
    EXPECT_EQ(listed(), "1nm Iridium;4711 provider;2nm Stick;");
    const std::int32_t iridium = both.enumConnections().connections[0].handle;
    EXPECT_EQ(both.connectionState(iridium), kStateConnected);
    EXPECT_EQ(both.connectionState(1), 0) << "pppd's handle 1 is not NetworkManager's";
    both.hangUp(iridium);
    both.hangUp(4711);
    EXPECT_EQ(manager->hangUps, (std::vector<std::int32_t>{1}));
    EXPECT_EQ(pppd->hangUps, (std::vector<std::int32_t>{4711}));

    // A list that could not be made is no news of either system's links.
    pppd->enumFails = true;
    EXPECT_FALSE(both.enumConnections().ok);
    pppd->enumFails = false;
    manager->disconnectAll();
    manager->connect(3, "Iridium");
    EXPECT_EQ(listed(), "4711 provider;3nm Iridium;");
}

// Each handle is read by its own system's counter, with that system's handle;
// another counter, or another origin of the same, is a new origin.
TEST(Combined, BytesOfEachHandleFromItsOwnCounter)
{
    struct Counter final : ByteSource {
        std::int32_t asked = -1;
        std::uint64_t start = 0;
        LinkCounts counts(std::int32_t handle) override
        {
            asked = handle;
            return {handle == 0 ? 0u : 10u, 0};
        }
        std::uint64_t origin() const override { return start; }
    };
    auto* pppd = new Counter;
    auto* manager = new Counter;
    CombinedBytes bytes{std::unique_ptr<ByteSource>(pppd), std::unique_ptr<ByteSource>(manager)};
    bytes.counts(4711);
    const std::uint64_t first = bytes.origin();
    bytes.counts(4711);
    EXPECT_EQ(bytes.origin(), first);
    EXPECT_EQ(pppd->asked, 4711);
    bytes.counts(7 | CombinedDialUp::kSecondHandleBit);
    EXPECT_EQ(manager->asked, 7);
    const std::uint64_t second = bytes.origin();
    EXPECT_NE(second, first);
    bytes.counts(0);
    EXPECT_EQ(bytes.origin(), second) << "nothing readable: the origin stays";
    manager->start = 1;
    bytes.counts(7 | CombinedDialUp::kSecondHandleBit);
    EXPECT_NE(bytes.origin(), second);
}

} // namespace
} // namespace zumi
