#include "settings/registry/registry_settings_store.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <sddl.h>

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
    void TearDown() override
    {
        restrictKey(L"D:(A;;KA;;;WD)");
        const std::wstring name(subKey.begin(), subKey.end());
        RegDeleteTreeW(HKEY_CURRENT_USER, name.c_str());
        RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\Zumi tests"); // once no other run's key is left
    }

    // Lets everyone do only what the SDDL access list says with the key.
    bool restrictKey(const wchar_t* sddl)
    {
        PSECURITY_DESCRIPTOR descriptor = nullptr;
        if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &descriptor, nullptr))
            return false;
        HKEY key = nullptr;
        const std::wstring name(subKey.begin(), subKey.end());
        LSTATUS rc = RegOpenKeyExW(HKEY_CURRENT_USER, name.c_str(), 0, WRITE_DAC, &key);
        if (rc == ERROR_SUCCESS) {
            rc = RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor);
            RegCloseKey(key);
        }
        LocalFree(descriptor);
        return rc == ERROR_SUCCESS;
    }

    HKEY openKey()
    {
        HKEY key = nullptr;
        const std::wstring name(subKey.begin(), subKey.end());
        EXPECT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                                  nullptr), ERROR_SUCCESS);
        return key;
    }

    // What "reg query" prints for the key, read from the file it wrote.
    std::string regQuery()
    {
        wchar_t folder[MAX_PATH];
        GetTempPathW(MAX_PATH, folder);
        const std::wstring file = std::wstring(folder) + L"zumi_reg_query.txt";
        SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
        HANDLE out = CreateFileW(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = startup.hStdError = out;
        std::wstring command = L"reg.exe query \"HKCU\\" + std::wstring(subKey.begin(), subKey.end()) + L"\"";
        PROCESS_INFORMATION process{};
        EXPECT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                                   &process));
        WaitForSingleObject(process.hProcess, 60000);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
        CloseHandle(out);
        std::ifstream in(file.c_str(), std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }
};

TEST_F(RegistryStore, TextsRoundTripAsUtf16AndRegReadsThem)
{
    const std::string values[] = {"Grüße äöü ÄÖÜ ß", "5,90 €", "a,b,,c,", "\"q\" 'x'", "", " both ", "two\r\nlines"};
    RegistrySettingsStore store(subKey);
    EXPECT_TRUE(store.keys().empty()) << "no key yet: the defaults";
    EXPECT_TRUE(store.readable());
    std::vector<SettingsStore::Change> changes;
    for (std::size_t i = 0; i < std::size(values); ++i)
        changes.emplace_back("v" + std::to_string(i), values[i]);
    ASSERT_TRUE(store.write(changes)) << store.problem();
    RegistrySettingsStore fresh(subKey);
    for (std::size_t i = 0; i < std::size(values); ++i)
        EXPECT_EQ(fresh.read("v" + std::to_string(i)), values[i]) << i;

    const std::string record = "Büro „Nord“,0,9,18,21,150,90,90,150,0,,,,240,,,,€";
    ASSERT_TRUE(store.write("00", record));
    wchar_t stored[128] = {};
    DWORD size = sizeof(stored), type = 0;
    HKEY key = openKey();
    EXPECT_EQ(RegQueryValueExW(key, L"00", nullptr, &type, reinterpret_cast<BYTE*>(stored), &size), ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(std::wstring(stored), L"B\u00FCro \u201ENord\u201C,0,9,18,21,150,90,90,150,0,,,,240,,,,\u20AC");
    const std::string listed = regQuery();
    EXPECT_NE(listed.find("00    REG_SZ    B"), std::string::npos) << listed;
    EXPECT_NE(listed.find(",0,9,18,21,150,90,90,150,0,,,,240,,,,"), std::string::npos) << listed;
    EXPECT_NE(listed.find("v2    REG_SZ    a,b,,c,"), std::string::npos) << listed;
}


TEST_F(RegistryStore, ValueThatIsNotTextIsIgnoredAndLeftAlone)
{
    HKEY key = openKey();
    const DWORD number = 300;
    RegSetValueExW(key, L"Top", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof(number));
    RegSetValueExW(key, L"Right", 0, REG_BINARY, reinterpret_cast<const BYTE*>("600"), 3);
    RegSetValueExW(key, L"Vorlauf", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"3"), 4);
    RegistrySettingsStore store(subKey);
    EXPECT_EQ(store.keys(), std::vector<std::string>{"Vorlauf"});
    EXPECT_EQ(store.read("Top"), std::nullopt);

    ASSERT_TRUE(store.write({{"Top", std::nullopt}, {"Right", std::string("600")}}));
    DWORD type = 0;
    EXPECT_EQ(RegQueryValueExW(key, L"Top", nullptr, &type, nullptr, nullptr), ERROR_SUCCESS) << "not ours to remove";
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(store.read("Right"), "600");
    RegCloseKey(key);
}

TEST_F(RegistryStore, RefusedWriteChangesNothing)
{
    RegistrySettingsStore store(subKey);
    ASSERT_TRUE(store.write({{"Vorlauf", std::string("2")}, {"Top", std::string("255")}}));
    // The registry refuses the last name (too long): the values before it go back.
    const std::vector<SettingsStore::Change> changes = {
        {"Vorlauf", std::string("5")}, {"Top", std::nullopt}, {"Neu", std::string("x")}, {std::string(20000, 'n'), std::string("1")}};
    EXPECT_FALSE(store.write(changes));
    EXPECT_NE(store.problem().find("nicht in der Registrierung"), std::string::npos) << store.problem();
    EXPECT_FALSE(store.write({{"Vorlauf", std::string("6")}, {"", std::string("1")}}));
    EXPECT_FALSE(store.write({{"Vorlauf", std::string("6")}, {"Top", std::string("\xFF")}}));
    RegistrySettingsStore fresh(subKey);
    EXPECT_EQ(fresh.keys(), (std::vector<std::string>{"Top", "Vorlauf"}));
    EXPECT_EQ(fresh.read("Vorlauf"), "2");
    EXPECT_EQ(fresh.read("Top"), "255");
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
    EXPECT_FALSE(store.readable());
    EXPECT_TRUE(store.keys().empty()) << "the defaults";
    EXPECT_NE(store.problem().find("nicht gelesen werden"), std::string::npos) << store.problem();
    EXPECT_FALSE(store.write("Top", "255"));
}

} // namespace
} // namespace zumi
