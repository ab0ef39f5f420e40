// rasphone.exe for the tests: writes the arguments it was given, each ended by
// a NUL, as UTF-8 to the file named by ZUMI_RASPHONE_RECORD.
#include <windows.h>

#include <fstream>
#include <shellapi.h>

int main()
{
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    char path[MAX_PATH] = {};
    GetEnvironmentVariableA("ZUMI_RASPHONE_RECORD", path, MAX_PATH);
    std::string record;
    for (int i = 1; i < count; ++i) {
        char word[4096] = {};
        WideCharToMultiByte(CP_UTF8, 0, arguments[i], -1, word, sizeof word, nullptr, nullptr);
        record += word;
        record += '\0';
    }
    std::ofstream(std::string(path) + ".part", std::ios::binary) << record;
    // Whole or not at all: the test waits for the file to appear.
    MoveFileExA((std::string(path) + ".part").c_str(), path, MOVEFILE_REPLACE_EXISTING);
    return 0;
}
