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
    std::wstring name, line;
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
        Conn conn;
        conn.line = all.substr(at, end - at);
        int name = 0;
        swscanf(conn.line.c_str(), L"%llx %lu %lu %lu %n", &conn.handle, &conn.state, &conn.sent, &conn.received, &name);
        conn.name = conn.line.substr(name);
        list.push_back(conn);
    }
    return list;
}

const Conn* find(const std::vector<Conn>& list, HANDLE handle)
{
    for (const Conn& conn : list)
        if (conn.handle == reinterpret_cast<std::uintptr_t>(handle))
            return &conn;
    return nullptr;
}

// Fills the records (size as the first one says) with handle and name, as RAS
// does with its sizes: an unknown one is refused.
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
    auto* at = static_cast<char*>(records);
    for (const Conn& conn : list) {
        std::memcpy(at, &size, 4);
        if (connections)
            std::memcpy(at + 4, &conn.handle, 8);
        std::wcsncpy(reinterpret_cast<wchar_t*>(at + (connections ? 12 : 4)), conn.name.c_str(), 256);
        at += size;
    }
    *count = static_cast<DWORD>(list.size());
    return 0;
}

} // namespace

extern "C" {

__declspec(dllexport) DWORD WINAPI RasEnumConnectionsW(void* records, DWORD* bytes, DWORD* count)
{
    return enumerate(records, bytes, count, true);
}

__declspec(dllexport) DWORD WINAPI RasEnumEntriesW(const wchar_t*, const wchar_t*, void* records, DWORD* bytes,
                                                   DWORD* count)
{
    return enumerate(records, bytes, count, false);
}

__declspec(dllexport) DWORD WINAPI RasGetConnectStatusW(HANDLE handle, DWORD* status)
{
    const std::vector<Conn> list = conns();
    const Conn* conn = find(list, handle);
    if (status[0] != 304)
        return 632;
    return conn ? (status[1] = conn->state, 0) : ERROR_INVALID_HANDLE;
}

__declspec(dllexport) DWORD WINAPI RasGetConnectionStatistics(HANDLE handle, DWORD* stats)
{
    const std::vector<Conn> list = conns();
    const Conn* conn = find(list, handle);
    if (stats[0] != 60)
        return 632;
    return conn ? (stats[1] = conn->sent, stats[2] = conn->received, 0) : ERROR_INVALID_HANDLE;
}

__declspec(dllexport) DWORD WINAPI RasHangUpW(HANDLE handle)
{
    const std::wstring refuse = env(L"ZUMI_RAS_REFUSE");
    if (!refuse.empty())
        return std::stoul(refuse);
    std::wstring rest;
    for (const Conn& conn : conns())
        if (conn.handle != reinterpret_cast<std::uintptr_t>(handle))
            rest += (rest.empty() ? L"" : L"|") + conn.line;
    SetEnvironmentVariableW(L"ZUMI_RAS", rest.c_str());
    return 0;
}

__declspec(dllexport) DWORD WINAPI RasGetErrorStringW(UINT error, wchar_t* text, DWORD size)
{
    return swprintf(text, size, L"Zugriff verweigert (%u) \u00fc\u20ac", error) < 0 ? 603 : 0;
}

} // extern "C"
