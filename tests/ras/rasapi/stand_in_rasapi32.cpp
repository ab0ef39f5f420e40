// rasapi32.dll for the tests: RAS as the environment says, read at every call.
// ZUMI_RAS: the connections in RAS's order, "HANDLE STATE SENT RECEIVED NAME"
// (handle in hex) separated by "|"; their names are the phonebook too.
// ZUMI_RAS_SIZE: the one RASCONN size known (else 820 and 528).
// ZUMI_RAS_REFUSE: what RasHangUpW answers; a hang-up taken ends the connection.
// ZUMI_RAS_FILE: when set, the connections are that file's lines instead (UTF-8),
// so that another program (the stand-in rasphone) can bring one up.
// ZUMI_RAS_PHONEBOOK: when set, the phonebook's names separated by "|".
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

std::wstring fileText(const std::wstring& path)
{
    std::string bytes;
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, 0, nullptr);
    char chunk[4096];
    DWORD got = 0;
    while (file != INVALID_HANDLE_VALUE && ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0)
        bytes.append(chunk, got);
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    std::wstring text(bytes.size(), L'\0');
    text.resize(MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(),
                                    static_cast<int>(text.size())));
    return text;
}

// The list of connections, one a line in the file or separated by "|".
std::wstring connectionText()
{
    const std::wstring path = env(L"ZUMI_RAS_FILE");
    if (path.empty())
        return env(L"ZUMI_RAS");
    std::wstring text = fileText(path);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r'))
        text.pop_back();
    for (wchar_t& c : text)
        if (c == L'\n')
            c = L'|';
    return text;
}

std::vector<Conn> parse(const std::wstring& all)
{
    std::vector<Conn> list;
    for (std::size_t at = 0, end = 0; at < all.size(); at = end + 1) {
        end = std::min(all.find(L'|', at), all.size());
        Conn& c = list.emplace_back(Conn{0, 0, 0, 0, 0, all.substr(at, end - at)});
        swscanf(c.line.c_str(), L"%llx %lu %lu %lu %n", &c.handle, &c.state, &c.sent, &c.received, &c.name);
    }
    return list;
}

std::vector<Conn> conns() { return parse(connectionText()); }

std::vector<Conn> entries()
{
    const std::wstring names = env(L"ZUMI_RAS_PHONEBOOK");
    if (names.empty())
        return conns();
    std::wstring lines = L"0 0 0 0 "; // each name as a line of a connection
    for (wchar_t c : names)
        lines += c == L'|' ? std::wstring(L"|0 0 0 0 ") : std::wstring(1, c);
    return parse(lines);
}

// Handle and name into records of the size the first one names, if RAS knows it.
DWORD enumerate(void* records, DWORD* bytes, DWORD* count, bool connections)
{
    DWORD size = 0;
    std::memcpy(&size, records, sizeof size);
    const std::wstring known = env(L"ZUMI_RAS_SIZE");
    if (connections ? (known.empty() ? size != 820 && size != 528 : size != std::stoul(known)) : size != 520)
        return 632;
    const std::vector<Conn> list = connections ? conns() : entries();
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
    const std::wstring all = connectionText();
    std::wstring rest;
    for (const Conn& conn : parse(all))
        if (conn.handle != reinterpret_cast<std::uintptr_t>(handle))
            rest += (rest.empty() ? L"" : L"|") + conn.line;
    if (rest.size() == all.size())
        return ERROR_INVALID_HANDLE;
    if (!env(L"ZUMI_RAS_REFUSE").empty())
        return std::stoul(env(L"ZUMI_RAS_REFUSE"));
    const std::wstring path = env(L"ZUMI_RAS_FILE");
    if (path.empty()) {
        SetEnvironmentVariableW(L"ZUMI_RAS", rest.c_str());
        return 0;
    }
    for (wchar_t& c : rest)
        if (c == L'|')
            c = L'\n';
    std::string bytes(rest.size() * 3 + 1, '\0');
    bytes.resize(WideCharToMultiByte(CP_UTF8, 0, rest.c_str(), static_cast<int>(rest.size()), bytes.data(),
                                     static_cast<int>(bytes.size()), nullptr, nullptr));
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    const bool ok = file != INVALID_HANDLE_VALUE && WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()),
                                                               &written, nullptr);
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    return ok ? 0 : ERROR_WRITE_FAULT;
}

__declspec(dllexport) DWORD WINAPI RasGetErrorStringW(UINT error, wchar_t* text, DWORD size)
{
    return swprintf(text, size, L"Zugriff verweigert (%u) \u00fc\u20ac", error) < 0 ? 603 : 0;
}

} // extern "C"
