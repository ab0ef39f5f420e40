// rasphone.exe for the tests: writes its arguments, each ended by a NUL, as
// UTF-8 to the file named by ZUMI_RASPHONE_RECORD.
#include <windows.h>

#include <cstring>
#include <fstream>
#include <shellapi.h>

int main()
{
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    std::string record;
    for (int i = 1; i < count; ++i) {
        char word[4096] = {};
        WideCharToMultiByte(CP_UTF8, 0, arguments[i], -1, word, sizeof word, nullptr, nullptr);
        record.append(word, std::strlen(word) + 1);
    }
    wchar_t path[MAX_PATH] = {};
    GetEnvironmentVariableW(L"ZUMI_RASPHONE_RECORD", path, MAX_PATH);
    std::ofstream(path, std::ios::binary) << record;
}
