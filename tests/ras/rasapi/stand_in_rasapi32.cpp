// rasapi32.dll for the tests: RAS as the file named by ZUMI_RAS_CONTROL says,
// read anew at every call. Lines:
//   conn HANDLE STATE SENT RECEIVED NAME   a connection, listed in file order
//   entry NAME                             a phonebook entry
//   sizes N...                             the RASCONN sizes known (else 820 528)
//   refuse-hangup ERROR                    what RasHangUpW answers
//   gone HANDLE                            written by a hang-up RAS took
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr DWORD kInvalidHandle = 6;
constexpr DWORD kBufferTooSmall = 603;
constexpr DWORD kInvalidSize = 632;

struct Conn {
    std::uint64_t handle = 0;
    DWORD state = 0, sent = 0, received = 0;
    std::string name;
};

struct Control {
    std::vector<Conn> conns;
    std::vector<std::string> entries;
    std::set<DWORD> sizes{820, 528};
    DWORD refuseHangup = 0;
};

std::string controlPath()
{
    char path[MAX_PATH] = {};
    GetEnvironmentVariableA("ZUMI_RAS_CONTROL", path, MAX_PATH);
    return path;
}

std::string rest(std::istringstream& in)
{
    std::string text;
    std::getline(in >> std::ws, text);
    return text;
}

Control readControl()
{
    Control control;
    std::set<std::uint64_t> gone;
    std::ifstream file(controlPath());
    for (std::string line; std::getline(file, line);) {
        std::istringstream in(line);
        std::string word;
        in >> word;
        if (word == "conn") {
            Conn conn;
            in >> std::hex >> conn.handle >> std::dec >> conn.state >> conn.sent >> conn.received;
            conn.name = rest(in);
            control.conns.push_back(conn);
        } else if (word == "entry") {
            control.entries.push_back(rest(in));
        } else if (word == "sizes") {
            control.sizes.clear();
            for (DWORD size; in >> size;)
                control.sizes.insert(size);
        } else if (word == "refuse-hangup") {
            in >> control.refuseHangup;
        } else if (word == "gone") {
            std::uint64_t handle = 0;
            in >> std::hex >> handle;
            gone.insert(handle);
        }
    }
    std::erase_if(control.conns, [&](const Conn& conn) { return gone.count(conn.handle) != 0; });
    return control;
}

const Conn* find(const Control& control, HANDLE handle)
{
    for (const Conn& conn : control.conns)
        if (conn.handle == reinterpret_cast<std::uintptr_t>(handle))
            return &conn;
    return nullptr;
}

void putName(const std::string& name, wchar_t* field)
{
    MultiByteToWideChar(CP_UTF8, 0, name.c_str(), -1, field, 257);
}

} // namespace

extern "C" {

__declspec(dllexport) DWORD WINAPI RasEnumConnectionsW(void* records, DWORD* bytes, DWORD* count)
{
    const Control control = readControl();
    DWORD size = 0;
    std::memcpy(&size, records, sizeof size);
    if (control.sizes.count(size) == 0)
        return kInvalidSize;
    const DWORD needed = size * static_cast<DWORD>(control.conns.size());
    if (*bytes < needed) {
        *bytes = needed;
        return kBufferTooSmall;
    }
    auto* at = static_cast<char*>(records);
    for (const Conn& conn : control.conns) {
        std::memcpy(at, &size, 4);
        std::memcpy(at + 4, &conn.handle, 8);
        putName(conn.name, reinterpret_cast<wchar_t*>(at + 12));
        at += size;
    }
    *count = static_cast<DWORD>(control.conns.size());
    return 0;
}

__declspec(dllexport) DWORD WINAPI RasGetConnectStatusW(HANDLE handle, DWORD* status)
{
    if (status[0] != 304)
        return kInvalidSize;
    const Control control = readControl();
    const Conn* conn = find(control, handle);
    if (!conn)
        return kInvalidHandle;
    status[1] = conn->state;
    return 0;
}

__declspec(dllexport) DWORD WINAPI RasGetConnectionStatistics(HANDLE handle, DWORD* stats)
{
    if (stats[0] != 60)
        return kInvalidSize;
    const Control control = readControl();
    const Conn* conn = find(control, handle);
    if (!conn)
        return kInvalidHandle;
    stats[1] = conn->sent;
    stats[2] = conn->received;
    return 0;
}

__declspec(dllexport) DWORD WINAPI RasHangUpW(HANDLE handle)
{
    const Control control = readControl();
    if (!find(control, handle))
        return kInvalidHandle;
    if (control.refuseHangup != 0)
        return control.refuseHangup;
    std::ofstream(controlPath(), std::ios::app) << "gone " << std::hex << reinterpret_cast<std::uintptr_t>(handle)
                                               << "\n";
    return 0;
}

__declspec(dllexport) DWORD WINAPI RasEnumEntriesW(const wchar_t*, const wchar_t*, void* records, DWORD* bytes,
                                                   DWORD* count)
{
    const Control control = readControl();
    DWORD size = 0;
    std::memcpy(&size, records, sizeof size);
    if (size != 520)
        return kInvalidSize;
    if (*bytes < size * control.entries.size())
        return kBufferTooSmall;
    auto* at = static_cast<char*>(records);
    for (const std::string& name : control.entries) {
        std::memcpy(at, &size, 4);
        putName(name, reinterpret_cast<wchar_t*>(at + 4));
        at += size;
    }
    *count = static_cast<DWORD>(control.entries.size());
    return 0;
}

__declspec(dllexport) DWORD WINAPI RasGetErrorStringW(UINT error, wchar_t* text, DWORD size)
{
    const std::wstring message = L"Zugriff verweigert (" + std::to_wstring(error) + L") \u00fc\u20ac";
    if (size <= message.size())
        return kBufferTooSmall;
    std::wcscpy(text, message.c_str());
    return 0;
}

} // extern "C"
