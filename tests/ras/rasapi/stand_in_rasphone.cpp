// rasphone.exe for the tests: writes its arguments, each ended by a NUL, as
// UTF-8 to the file named by ZUMI_RASPHONE_RECORD. Asked to dial ("-t NAME")
// while ZUMI_RAS_FILE is set, it brings NAME up: a connected line in that
// file of the stand-in rasapi32.dll, its handle 5A17, after ZUMI_RASPHONE_DIAL_MS
// milliseconds of dialing.
#include <windows.h>

#include <cstring>
#include <cwchar>
#include <fstream>
#include <shellapi.h>

namespace {

std::string utf8(const wchar_t* text)
{
    char word[4096] = {};
    WideCharToMultiByte(CP_UTF8, 0, text, -1, word, sizeof word, nullptr, nullptr);
    return word;
}

} // namespace

int main()
{
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    std::string record;
    for (int i = 1; i < count; ++i)
        record.append(utf8(arguments[i]) + '\0');
    wchar_t path[MAX_PATH] = {};
    if (GetEnvironmentVariableW(L"ZUMI_RASPHONE_RECORD", path, MAX_PATH) > 0)
        std::ofstream(path, std::ios::binary) << record;
    if (count != 3 || std::wcscmp(arguments[1], L"-t") != 0 || !GetEnvironmentVariableW(L"ZUMI_RAS_FILE", path, MAX_PATH))
        return 0;
    wchar_t dialing[16] = {};
    GetEnvironmentVariableW(L"ZUMI_RASPHONE_DIAL_MS", dialing, 16);
    Sleep(std::wcstoul(dialing, nullptr, 10));
    std::ofstream(path, std::ios::binary | std::ios::app) << "5a17 8192 1000 20000 " << utf8(arguments[2]) << '\n';
}
