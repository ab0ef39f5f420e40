#include "settings/registry/registry_settings_store.h"

#include <windows.h>

#include <sddl.h> // needs windows.h first

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

namespace zumi {
namespace {

// Each run has a key of its own below HKCU, taken away afterwards.
class RegistryStore : public ::testing::Test {
protected:
    const std::string subKey = "Software\\Zumi tests\\registry " + std::to_string(GetCurrentProcessId());
    const std::wstring wideKey{subKey.begin(), subKey.end()};
    HKEY key = nullptr;

    void SetUp() override
    {
        RegCreateKeyExW(HKEY_CURRENT_USER, wideKey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    }
    void TearDown() override
    {
        RegCloseKey(key);
        restrictKey(L"D:(A;;KA;;;WD)");
        RegDeleteTreeW(HKEY_CURRENT_USER, wideKey.c_str());
        RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\Zumi tests"); // once no other run's key is left
    }

    // Lets everyone do only what the SDDL access list says with the key.
    bool restrictKey(const wchar_t* sddl)
    {
        PSECURITY_DESCRIPTOR descriptor = nullptr;
        HKEY dacl = nullptr;
        bool done = ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &descriptor, nullptr)
            && RegOpenKeyExW(HKEY_CURRENT_USER, wideKey.c_str(), 0, WRITE_DAC, &dacl) == ERROR_SUCCESS
            && RegSetKeySecurity(dacl, DACL_SECURITY_INFORMATION, descriptor) == ERROR_SUCCESS;
        RegCloseKey(dacl);
        LocalFree(descriptor);
        return done;
    }

    // What "reg query" prints for the key, by way of a file.
    std::string regQuery()
    {
        wchar_t folder[MAX_PATH + 1] = {};
        GetTempPathW(MAX_PATH + 1, folder);
        const std::wstring file = folder + (L"zumi_reg_query_" + std::to_wstring(GetCurrentProcessId()) + L".txt");
        _wsystem((L"reg.exe query \"HKCU\\" + wideKey + L"\" > \"" + file + L"\"").c_str());
        std::ostringstream text;
        text << std::ifstream(file.c_str(), std::ios::binary).rdbuf();
        DeleteFileW(file.c_str());
        return text.str();
    }
};

TEST_F(RegistryStore, TextsRoundTripAsUtf16AndRegReadsThem)
{
    RegDeleteTreeW(HKEY_CURRENT_USER, wideKey.c_str());
    const std::string values[] = {"Grüße äöü ÄÖÜ ß", "5,90 €", "a,b,,c,", "\"q\" 'x'", "", " both ", "two\r\nlines"};
    RegistrySettingsStore store(subKey);
    EXPECT_TRUE(store.keys().empty() && store.readable()) << "no key yet: the defaults";
    std::vector<SettingsStore::Change> changes;
    for (std::size_t i = 0; i < std::size(values); ++i)
        changes.emplace_back("v" + std::to_string(i), values[i]);
    ASSERT_TRUE(store.write(changes)) << store.problem();
    RegistrySettingsStore fresh(subKey);
    for (std::size_t i = 0; i < std::size(values); ++i)
        EXPECT_EQ(fresh.read("v" + std::to_string(i)), values[i]) << i;

    ASSERT_TRUE(store.write("00", "Büro „Nord“,0,9,18,21,150,90,90,150,0,,,,240,,,,€"));
    wchar_t stored[128] = {};
    DWORD size = sizeof(stored), type = 0;
    EXPECT_EQ(RegGetValueW(HKEY_CURRENT_USER, wideKey.c_str(), L"00", RRF_RT_ANY, &type, stored, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(std::wstring(stored), L"B\u00FCro \u201ENord\u201C,0,9,18,21,150,90,90,150,0,,,,240,,,,\u20AC");
    const std::string listed = regQuery();
    EXPECT_NE(listed.find("00    REG_SZ    B"), std::string::npos) << listed;
    EXPECT_NE(listed.find("v2    REG_SZ    a,b,,c,"), std::string::npos) << listed;
}

TEST_F(RegistryStore, ValueThatIsNotTextIsIgnoredAndLeftAlone)
{
    const DWORD number = 300;
    RegSetValueExW(key, L"Top", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof(number));
    RegSetValueExW(key, L"Right", 0, REG_BINARY, reinterpret_cast<const BYTE*>("600"), 3);
    RegSetValueExW(key, L"Vorlauf", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"3"), 4);
    RegistrySettingsStore store(subKey);
    EXPECT_EQ(store.keys(), std::vector<std::string>{"Vorlauf"});

    ASSERT_TRUE(store.write({{"Top", std::nullopt}, {"Right", std::string("600")}}));
    EXPECT_EQ(RegGetValueW(key, nullptr, L"Top", RRF_RT_REG_DWORD, nullptr, nullptr, nullptr), ERROR_SUCCESS)
        << "not ours to remove";
    EXPECT_EQ(store.read("Right"), "600");
}

TEST_F(RegistryStore, RefusedWriteChangesNothing)
{
    RegistrySettingsStore store(subKey);
    ASSERT_TRUE(store.write({{"Vorlauf", std::string("2")}, {"Top", std::string("255")}}));
    // The registry refuses the last name (too long): the values before it go back.
    EXPECT_FALSE(store.write({{"Vorlauf", std::string("5")},
                              {"Top", std::nullopt},
                              {"Neu", std::string("x")},
                              {std::string(20000, 'n'), std::string("1")}}));
    EXPECT_NE(store.problem().find("nicht in der Registrierung"), std::string::npos) << store.problem();
    EXPECT_FALSE(store.write({{"Vorlauf", std::string("6")}, {"", std::string("1")}}));
    EXPECT_FALSE(store.write({{"Vorlauf", std::string("6")}, {"Top", std::string("\xFF")}}));
    RegistrySettingsStore fresh(subKey);
    EXPECT_EQ(fresh.keys(), (std::vector<std::string>{"Top", "Vorlauf"}));
    EXPECT_EQ(fresh.read("Vorlauf").value_or("") + "," + fresh.read("Top").value_or(""), "2,255");
}

TEST_F(RegistryStore, KeyTheUserMayNotChangeRefusesWrites)
{
    ASSERT_TRUE(RegistrySettingsStore(subKey).write("Top", "255"));
    ASSERT_TRUE(restrictKey(L"D:(A;;KR;;;WD)"));
    RegistrySettingsStore store(subKey);
    EXPECT_TRUE(store.readable());
    EXPECT_TRUE(store.write("Top", "255")) << "nothing to change";
    EXPECT_FALSE(store.write("Top", "300"));
    EXPECT_NE(store.problem().find("gespeichert werden"), std::string::npos) << store.problem();
    EXPECT_EQ(store.read("Top"), "255");

    ASSERT_TRUE(restrictKey(L"D:"));
    store.reload();
    EXPECT_TRUE(!store.readable() && store.keys().empty()) << "the defaults";
    EXPECT_NE(store.problem().find("nicht gelesen werden"), std::string::npos) << store.problem();
    EXPECT_FALSE(store.write("Top", "255"));
}

} // namespace
} // namespace zumi
