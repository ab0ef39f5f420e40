#include "ras/rasapi/rasapi_dialup.h"

#include "ras/rasapi/ras_records.h"
#include "ras/rasapi/rasphone_dial.h"
#include "ras/rasapi/utf16.h"

#include <windows.h>

#include <ras.h>

#include <algorithm>
#include <iterator>
#include <vector>

namespace zumi {
namespace {

using namespace rasapi;

HRASCONN rasHandle(std::uint64_t handle)
{
    return reinterpret_cast<HRASCONN>(static_cast<std::uintptr_t>(handle));
}

// One RasEnumConnectionsW into 256 records of the given layout; nullopt when
// RAS does not take that layout.
template <class Record>
std::optional<ConnectionList> listConnections(HandleNumbers& handles)
{
    std::vector<Record> records(kRecords, Record{});
    records.front().dwSize = sizeof(Record);
    DWORD bytes = sizeof(Record) * kRecords;
    DWORD count = 0;
    const DWORD result = RasEnumConnectionsW(reinterpret_cast<LPRASCONNW>(records.data()), &bytes, &count);
    if (result == kErrorInvalidSize || result == kErrorBufferTooSmall)
        return std::nullopt;
    ConnectionList list;
    if (result != 0)
        return list;
    list.ok = true;
    std::vector<HandleNumbers::Listed> listed;
    for (DWORD i = 0; i < std::min<DWORD>(count, kRecords); ++i)
        listed.push_back({records[i].hrasconn, fromUtf16(records[i].szEntryName, std::size(records[i].szEntryName))});
    const std::vector<std::int32_t> numbers = handles.listing(listed);
    for (std::size_t i = 0; i < listed.size(); ++i)
        list.connections.push_back({numbers[i], listed[i].entryName});
    return list;
}

std::string errorText(DWORD error)
{
    wchar_t text[512] = {};
    if (RasGetErrorStringW(error, text, static_cast<DWORD>(std::size(text))) != 0)
        return {};
    return fromUtf16(text, std::size(text));
}

} // namespace

ConnectionList RasApiDialUp::enumConnections()
{
    tellRefusal();
    // The newer layout first; RAS that does not know it says so by its size.
    if (connSize_ != sizeof(RasConnOld))
        if (auto list = listConnections<RasConnV400>(handles_)) {
            connSize_ = sizeof(RasConnV400);
            return *list;
        }
    if (auto list = listConnections<RasConnOld>(handles_)) {
        connSize_ = sizeof(RasConnOld);
        return *list;
    }
    return {};
}

std::int32_t RasApiDialUp::connectionState(std::int32_t handle)
{
    tellRefusal();
    const std::uint64_t ras = handles_.handleOf(handle);
    if (ras == 0)
        return 0;
    RasConnStatusV400 status{};
    status.dwSize = sizeof status;
    if (RasGetConnectStatusW(rasHandle(ras), reinterpret_cast<LPRASCONNSTATUSW>(&status)) != 0)
        return 0;
    return static_cast<std::int32_t>(status.rasconnstate);
}

int RasApiDialUp::hangUp(std::int32_t handle)
{
    const std::uint64_t ras = handles_.handleOf(handle);
    if (ras == 0)
        return 0;
    const DWORD result = RasHangUpW(rasHandle(ras));
    // A connection that ended meanwhile is no refusal.
    if (result != 0 && result != ERROR_INVALID_HANDLE)
        refusal_ = LateRefusal{LateRefusal::Request::HangUp, handle, handles_.entryNameOf(handle),
                               std::to_string(result), errorText(result)};
    return 0;
}

void RasApiDialUp::tellRefusal()
{
    if (!refusal_)
        return;
    const LateRefusal refusal = std::move(*refusal_);
    refusal_.reset();
    if (lateRefusal_)
        lateRefusal_(refusal);
}

Phonebook RasApiDialUp::phonebookEntries()
{
    std::vector<RasEntryNameV400> records(kRecords, RasEntryNameV400{});
    records.front().dwSize = sizeof(RasEntryNameV400);
    DWORD bytes = sizeof(RasEntryNameV400) * kRecords;
    DWORD count = 0;
    Phonebook phonebook;
    // A phonebook that cannot be read lists nothing.
    if (RasEnumEntriesW(nullptr, nullptr, reinterpret_cast<LPRASENTRYNAMEW>(records.data()), &bytes, &count) != 0)
        return phonebook;
    for (DWORD i = 0; i < std::min<DWORD>(count, kRecords); ++i)
        phonebook.entries.push_back(fromUtf16(records[i].szEntryName, std::size(records[i].szEntryName)));
    return phonebook;
}

DialResult RasApiDialUp::dial(const std::string& entryName)
{
    return dialWithRasphone(entryName);
}

} // namespace zumi
