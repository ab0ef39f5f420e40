// The RAS backend against the stand-in rasapi32.dll and rasphone.exe that sit
// beside this program (wine: WINEDLLOVERRIDES="rasapi32=n,b").
#include "ras/rasapi/ras_bytes.h"
#include "ras/rasapi/rasapi_dialup.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

namespace zumi {
namespace {

using namespace std::string_literals;

class RasApiTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        control("");
        SetEnvironmentVariableW(L"ZUMI_RAS_CONTROL", path_.c_str());
    }
    void TearDown() override { std::filesystem::remove(path_); }
    void control(const std::string& text) { std::ofstream(path_, std::ios::binary) << text; }

    std::filesystem::path path_ = std::filesystem::temp_directory_path() / "zumi-ras-control.txt";
    RasApiDialUp ras_;
};

TEST_F(RasApiTest, ListsConnectionsInOrderWithStatesAndNumbersNeverReused)
{
    control("conn 123456789abc 8192 0 0 M\xC3\xBCller-L\xC3\xBC" "denscheid \xE2\x82\xAC\n"
            "conn 5 2 0 0 Direct Cable Connection\n");
    ConnectionList list = ras_.enumConnections();
    ASSERT_TRUE(list.ok);
    ASSERT_EQ(list.connections.size(), 2u);
    EXPECT_EQ(list.connections[0].entryName, "M\xC3\xBCller-L\xC3\xBC" "denscheid \xE2\x82\xAC");
    EXPECT_EQ(list.connections[1].entryName, "Direct Cable Connection");
    const std::int32_t first = list.connections[0].handle, second = list.connections[1].handle;
    EXPECT_GT(first, 0);
    EXPECT_NE(first, second);
    EXPECT_EQ(ras_.connectionState(first), kStateConnected);
    EXPECT_EQ(ras_.connectionState(second), 2);
    EXPECT_EQ(ras_.enumConnections().connections[0].handle, first);

    // Gone, then RAS hands out the same handle for a new connection.
    control("conn 5 2 0 0 Direct Cable Connection\n");
    EXPECT_EQ(ras_.enumConnections().connections.at(0).handle, second);
    EXPECT_EQ(ras_.connectionState(first), 0);
    control("conn 123456789abc 8192 0 0 wieder\n");
    list = ras_.enumConnections();
    EXPECT_NE(list.connections.at(0).handle, first);
    EXPECT_NE(list.connections.at(0).handle, second);

    control("entry b\nentry \xC3\x84rger\n");
    EXPECT_EQ(ras_.phonebookEntries().entries, (std::vector<std::string>{"b", "\xC3\x84rger"}));
}

TEST_F(RasApiTest, FallsBackToTheOlderRecordWhenRasRefusesTheSize)
{
    control("sizes 528\nconn 7 8192 0 0 alt\n");
    ConnectionList list = ras_.enumConnections();
    ASSERT_TRUE(list.ok);
    ASSERT_EQ(list.connections.size(), 1u);
    EXPECT_EQ(list.connections[0].entryName, "alt");
    EXPECT_EQ(ras_.connectionState(list.connections[0].handle), kStateConnected);

    control("sizes 1\nconn 7 8192 0 0 alt\n");
    EXPECT_FALSE(ras_.enumConnections().ok);
}

TEST_F(RasApiTest, BytesAreSentPlusReceivedWrappingAt32Bits)
{
    control("conn 9 8192 4294967280 32 a\n");
    RasBytes bytes(ras_.handles());
    const std::int32_t handle = ras_.enumConnections().connections.at(0).handle;
    const LinkCounts counts = bytes.counts(handle);
    EXPECT_EQ(counts, (LinkCounts{4294967280u, 32u}));
    EXPECT_EQ(counts.total(), 16u);
    EXPECT_FALSE(bytes.counts(handle + 1).readable());

    // Another connection counts from its own start.
    const std::uint64_t origin = bytes.origin();
    control("conn 10 8192 1 1 b\n");
    EXPECT_TRUE(bytes.counts(ras_.enumConnections().connections.at(0).handle).readable());
    EXPECT_NE(bytes.origin(), origin);
}

TEST_F(RasApiTest, HangsUpAtOnceAndTellsARefusalWithRasText)
{
    std::vector<LateRefusal> refusals;
    ras_.onLateRefusal([&](const LateRefusal& refusal) { refusals.push_back(refusal); });
    control("refuse-hangup 633\nconn 11 8192 0 0 Anbieter\n");
    const std::int32_t handle = ras_.enumConnections().connections.at(0).handle;
    EXPECT_EQ(ras_.hangUp(handle), 0);
    EXPECT_TRUE(refusals.empty()) << "told before the caller noted its request";
    EXPECT_EQ(ras_.enumConnections().connections.size(), 1u);
    ASSERT_EQ(refusals.size(), 1u);
    EXPECT_EQ(refusals[0].request, LateRefusal::Request::HangUp);
    EXPECT_EQ(refusals[0].handle, handle);
    EXPECT_EQ(refusals[0].entryName, "Anbieter");
    EXPECT_EQ(refusals[0].fault, "633");
    EXPECT_EQ(refusals[0].message, "Zugriff verweigert (633) \xC3\xBC\xE2\x82\xAC");

    control("conn 11 8192 0 0 Anbieter\n");
    EXPECT_EQ(ras_.hangUp(handle), 0);
    EXPECT_TRUE(ras_.enumConnections().connections.empty());
    EXPECT_EQ(ras_.connectionState(handle), 0);
    EXPECT_EQ(ras_.hangUp(handle), 0);
    EXPECT_EQ(refusals.size(), 1u);
}

TEST_F(RasApiTest, RasphoneGetsExactlyTheNameOrNothing)
{
    const std::filesystem::path record = std::filesystem::temp_directory_path() / "zumi-rasphone.txt";
    SetEnvironmentVariableW(L"ZUMI_RASPHONE_RECORD", record.c_str());
    std::filesystem::remove(record);
    const auto recorded = [&] {
        for (int i = 0; i < 500 && !std::filesystem::exists(record); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        std::vector<std::string> words;
        {
            std::ifstream in(record, std::ios::binary);
            for (std::string word; std::getline(in, word, '\0');)
                words.push_back(word);
        }
        std::filesystem::remove(record);
        return words;
    };
    for (const std::string& name : {" lead"s, "trail "s, "My ISP"s, "$(touch x)"s, "`id`"s, "a; b"s, "a*"s, "-q"s,
                                    "-x"s, "M\xC3\xBCller-L\xC3\xBC" "denscheid"s, "new\nline"s, "ends\\"s, "a\\\\b\\"s,
                                    "%PATH%"s, "a & b | c ^"s}) {
        const DialResult result = ras_.dial(name);
        EXPECT_TRUE(result.started) << name;
        EXPECT_EQ(recorded(), (std::vector<std::string>{"-t", name}));
    }
    for (const std::string& name : {"it's \"quoted\""s, "\""s, ""s, "-x\0y"s, "\xC3"s}) {
        const DialResult result = ras_.dial(name);
        EXPECT_FALSE(result.started) << name;
        EXPECT_EQ(result.error, name.find('"') != std::string::npos ? DialError::UnquotableName : DialError::NoSuchEntry);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_FALSE(std::filesystem::exists(record)) << "a refused name reached rasphone";
}

} // namespace
} // namespace zumi
