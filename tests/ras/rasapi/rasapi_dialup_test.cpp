// The RAS backend against the stand-in rasapi32.dll and rasphone.exe beside
// this program (wine: WINEDLLOVERRIDES="rasapi32=n,b").
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

void ras(const wchar_t* connections, const wchar_t* size = nullptr, const wchar_t* refuse = nullptr)
{
    SetEnvironmentVariableW(L"ZUMI_RAS", connections);
    SetEnvironmentVariableW(L"ZUMI_RAS_SIZE", size);
    SetEnvironmentVariableW(L"ZUMI_RAS_REFUSE", refuse);
}

TEST(RasApiDialUp, ListsStatesAndNumbersConnectionsAndFallsBackToTheOlderRecord)
{
    RasApiDialUp dialUp;
    ras(L"123456789abc 8192 0 0 Müller €|5 2 0 0 Direct Cable Connection");
    const ConnectionList list = dialUp.enumConnections();
    ASSERT_EQ(list.connections.size(), 2u);
    EXPECT_EQ(list.connections[0].entryName, "Müller €");
    EXPECT_EQ(dialUp.phonebookEntries().entries.at(1), "Direct Cable Connection");
    const std::int32_t first = list.connections[0].handle, second = list.connections[1].handle;
    EXPECT_EQ(dialUp.connectionState(first), kStateConnected);
    EXPECT_EQ(dialUp.connectionState(second), 2);

    // RAS hands the handle of a connection that ended to a new one.
    ras(L"5 2 0 0 x", L"528");
    EXPECT_EQ(dialUp.enumConnections().connections.at(0).handle, second);
    EXPECT_EQ(dialUp.connectionState(first), 0);
    ras(L"123456789abc 8192 0 0 wieder", L"528");
    EXPECT_GT(dialUp.enumConnections().connections.at(0).handle, second);
    ras(L"", L"1");
    EXPECT_FALSE(dialUp.enumConnections().ok);
}

TEST(RasApiDialUp, CountsBytesHangsUpAndTellsARefusalAtTheNextQuery)
{
    RasApiDialUp dialUp;
    RasBytes bytes(dialUp.handles());
    std::vector<LateRefusal> refusals;
    dialUp.onLateRefusal([&](const LateRefusal& refusal) { refusals.push_back(refusal); });
    ras(L"9 8192 4294967280 32 Anbieter", nullptr, L"633");
    const std::int32_t handle = dialUp.enumConnections().connections.at(0).handle;
    EXPECT_EQ(bytes.counts(handle).total(), 16u);
    EXPECT_EQ(dialUp.hangUp(handle), 0);
    EXPECT_TRUE(refusals.empty()) << "told before the caller noted its request";
    dialUp.enumConnections();
    ASSERT_EQ(refusals.size(), 1u);
    EXPECT_EQ(refusals[0].handle, handle);
    EXPECT_EQ(refusals[0].entryName + ": " + refusals[0].message, "Anbieter: Zugriff verweigert (633) ü€");

    ras(L"9 8192 4294967280 32 Anbieter|a 8192 1 1 b");
    EXPECT_EQ(dialUp.hangUp(handle), 0);
    const std::uint64_t origin = bytes.origin();
    const std::int32_t next = dialUp.enumConnections().connections.at(0).handle;
    EXPECT_TRUE(bytes.counts(next).readable());
    EXPECT_NE(bytes.origin(), origin) << "another connection counts from its own start";
    EXPECT_FALSE(bytes.counts(handle).readable()) << "hung up";
    ras(L"", nullptr, L"633");
    dialUp.hangUp(next);
    dialUp.enumConnections();
    EXPECT_EQ(refusals.size(), 1u) << "a connection that ended is no refusal";
}

TEST(RasApiDialUp, RasphoneGetsExactlyTheNameOrNothing)
{
    const std::filesystem::path record = std::filesystem::temp_directory_path() / "zumi-rasphone.txt";
    SetEnvironmentVariableW(L"ZUMI_RASPHONE_RECORD", record.c_str());
    std::filesystem::remove(record);
    const auto recorded = [&] {
        std::vector<std::string> words;
        for (int i = 0; i < 3000 && words.empty(); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            std::ifstream in(record, std::ios::binary);
            for (std::string word; std::getline(in, word, '\0');)
                words.push_back(word);
        }
        std::filesystem::remove(record);
        return words;
    };
    RasApiDialUp dialUp;
    for (const std::string& name :
         {" lead"s, "trail "s, "$(touch x)"s, "`id`"s, "a; b"s, "a*"s, "-q"s, "Müller-Lüdenscheid"s, "new\nline"s,
          "ends\\"s, "a\\\\b\\"s, "%PATH%"s, "a & b | c ^"s}) {
        EXPECT_TRUE(dialUp.dial(name).started) << name;
        EXPECT_EQ(recorded(), (std::vector<std::string>{"-t", name}));
    }
    for (const std::string& name : {"it's \"quoted\""s, ""s, "-x\0y"s, "\xC3"s})
        EXPECT_EQ(dialUp.dial(name).error,
                  name.find('"') == std::string::npos ? DialError::NoSuchEntry : DialError::UnquotableName);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_FALSE(std::filesystem::exists(record)) << "a refused name reached rasphone";
}

} // namespace
} // namespace zumi
