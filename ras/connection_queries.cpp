#include "ras/connection_queries.h"

#include "ras/phonebook_order.h"

#include <algorithm>

namespace zumi {
namespace {

constexpr std::string_view kDirectCable = "Direct Cable Connection";

// Names are taken as the system gives them, up to a NUL; blanks are part of
// the name (a peers file may begin or end with one).
std::string cutAtNul(const std::string& text)
{
    return text.substr(0, text.find('\0'));
}

} // namespace

std::string getActiveConnection(DialUpAccess& dialUp, std::int32_t& handle)
{
    const ConnectionList list = dialUp.enumConnections();
    if (!list.ok)
        return {};
    if (list.connections.empty()) {
        handle = 0;
        return {};
    }
    const DialUpConnection& first = list.connections.front();
    handle = first.handle;
    std::string name = cutAtNul(first.entryName);
    if (name.find(kDirectCable) != std::string::npos)
        return {};
    return name;
}

std::int32_t getConnectState(DialUpAccess& dialUp, std::int32_t handle)
{
    return dialUp.connectionState(handle);
}

HangupAttempt hangUpConnection(DialUpAccess& dialUp)
{
    const ConnectionList list = dialUp.enumConnections();
    if (!list.ok || list.connections.empty())
        return {};
    const DialUpConnection& first = list.connections.front();
    return {first.handle, first.entryName, dialUp.hangUp(first.handle)};
}

Phonebook loadPhonebook(DialUpAccess& dialUp, ConnNames& connNames)
{
    Phonebook phonebook = dialUp.phonebookEntries();
    std::vector<std::string>& names = phonebook.entries;
    for (std::string& name : names)
        name = cutAtNul(name);
    sortPhonebookNames(names);
    // The connection table and the provider menu hold 30 entries; later ones
    // get no connection index rather than one that collides.
    if (names.size() > static_cast<std::size_t>(kMaxConnections))
        names.resize(static_cast<std::size_t>(kMaxConnections));
    std::copy(names.begin(), names.end(), connNames.begin());
    return phonebook;
}

} // namespace zumi
