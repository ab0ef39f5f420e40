// rasapi32.dll for the tests: RAS as the environment says, read at every call.
// ZUMI_RAS: the connections in RAS's order, "HANDLE STATE SENT RECEIVED NAME"
// (handle in hex) separated by "|"; their names are the phonebook too.
// ZUMI_RAS_SIZE: the one RASCONN size known (else 820 and 528).
// ZUMI_RAS_REFUSE: what RasHangUpW answers; a hang-up taken ends the connection.
#include <windows.h>

#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

namespace {

struct Conn {
    unsigned long long handle = 0;
    DWORD state = 0, sent = 0, received = 0;
    int name = 0; // where the name starts in the line
    std::wstring line;
};

std::wstring env(const wchar_t* name)
{
    wchar_t value[4096] = {};
    GetEnvironmentVariableW(name, value, 4096);
    return value;
}

std::vector<Conn> conns()
{
    std::vector<Conn> list;
    const std::wstring all = env(L"ZUMI_RAS");
    for (std::size_t at = 0, end = 0; at < all.size(); at = end + 1) {
        end = std::min(all.find(L'|', at), all.size());
        Conn& c = list.emplace_back(Conn{0, 0, 0, 0, 0, all.substr(at, end - at)});
        swscanf(c.line.c_str(), L"%llx %lu %lu %lu %n", &c.handle, &c.state, &c.sent, &c.received, &c.name);
    }
    return list;
}

// Handle and name into records of the size the first one names, if RAS knows it.
DWORD enumerate(void* records, DWORD* bytes, DWORD* count, bool connections)
{
    DWORD size = 0;
    std::memcpy(&size, records, sizeof size);
    const std::wstring known = env(L"ZUMI_RAS_SIZE");
    if (connections ? (known.empty() ? size != 820 && size != 528 : size != std::stoul(known)) : size != 520)
        return 632;
    const std::vector<Conn> list = conns();
    if (*bytes < size * list.size())
        return 603;
    char* at = static_cast<char*>(records);
    for (const Conn& conn : list) {
        std::memcpy(at, &size, 4);
        std::memcpy(at + 4, &conn.handle, connections ? 8 : 0);
        std::wcsncpy(reinterpret_cast<wchar_t*>(at + (connections ? 12 : 4)), conn.line.c_str() + conn.name, 256);
        at += size;
    }
    *count = static_cast<DWORD>(list.size());
    return 0;
}

// The state, or bytes sent and received, into a record of the size RAS knows.
DWORD answer(HANDLE handle, DWORD* record, DWORD size, bool bytes)
{
    if (record[0] != size)
        return 632;
    for (const Conn& conn : conns())
        if (conn.handle == reinterpret_cast<std::uintptr_t>(handle)) {
            record[1] = bytes ? conn.sent : conn.state;
            record[2] = bytes ? conn.received : 0;
            return 0;
        }
    return ERROR_INVALID_HANDLE;
}

} // namespace

extern "C" {

__declspec(dllexport) DWORD WINAPI RasEnumConnectionsW(void* records, DWORD* bytes, DWORD* count)
{
    return enumerate(records, bytes, count, true);
}

__declspec(dllexport) DWORD WINAPI
    RasEnumEntriesW(const wchar_t*, const wchar_t*, void* records, DWORD* bytes, DWORD* count)
{
    return enumerate(records, bytes, count, false);
}

__declspec(dllexport) DWORD WINAPI RasGetConnectStatusW(HANDLE handle, DWORD* status)
{
    return answer(handle, status, 304, false);
}

__declspec(dllexport) DWORD WINAPI RasGetConnectionStatistics(HANDLE handle, DWORD* stats)
{
    return answer(handle, stats, 60, true);
}

__declspec(dllexport) DWORD WINAPI RasHangUpW(HANDLE handle)
{
    std::wstring rest;
    for (const Conn& conn : conns())
        if (conn.handle != reinterpret_cast<std::uintptr_t>(handle))
            rest += (rest.empty() ? L"" : L"|") + conn.line;
    if (rest.size() == env(L"ZUMI_RAS").size())
        return ERROR_INVALID_HANDLE;
    if (!env(L"ZUMI_RAS_REFUSE").empty())
        return std::stoul(env(L"ZUMI_RAS_REFUSE"));
    SetEnvironmentVariableW(L"ZUMI_RAS", rest.c_str());
    return 0;
}

__declspec(dllexport) DWORD WINAPI RasGetErrorStringW(UINT error, wchar_t* text, DWORD size)
{
    return swprintf(text, size, L"Zugriff verweigert (%u) \u00fc\u20ac", error) < 0 ? 603 : 0;
}

} // extern "C"
