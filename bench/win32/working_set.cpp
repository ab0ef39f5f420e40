// The working set of running programs, by their file names, as Windows reports it
// (GetProcessMemoryInfo): one line "NAME AT_REST_KB PEAK_KB" per program found.
// Usage: bench_working_set NAME.exe...
#include <windows.h>
// After windows.h, which it builds on.
#include <psapi.h>

#include <cwchar>
#include <vector>

int wmain(int argc, wchar_t** argv)
{
    std::vector<DWORD> ids(4096);
    DWORD bytes = 0;
    if (!::EnumProcesses(ids.data(), static_cast<DWORD>(ids.size() * sizeof(DWORD)), &bytes))
        return 1;
    int found = 0;
    for (DWORD i = 0; i < bytes / sizeof(DWORD); ++i) {
        HANDLE process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_VM_READ, FALSE, ids[i]);
        if (!process)
            continue;
        wchar_t path[MAX_PATH] = {};
        DWORD size = MAX_PATH;
        PROCESS_MEMORY_COUNTERS counters{};
        if (::QueryFullProcessImageNameW(process, 0, path, &size)
            && ::GetProcessMemoryInfo(process, &counters, sizeof counters)) {
            const wchar_t* name = path;
            for (const wchar_t* at = path; *at; ++at)
                if (*at == L'\\' || *at == L'/')
                    name = at + 1;
            for (int arg = 1; arg < argc; ++arg)
                if (::lstrcmpiW(name, argv[arg]) == 0) {
                    std::wprintf(L"%ls %zu %zu\n", argv[arg], counters.WorkingSetSize / 1024,
                                 counters.PeakWorkingSetSize / 1024);
                    ++found;
                }
        }
        ::CloseHandle(process);
    }
    return found == argc - 1 ? 0 : 1;
}
