#include "ras/combined_dialup.h"

#include <algorithm>
#include <set>

namespace zumi {

ConnectionList CombinedDialUp::enumConnections()
{
    ConnectionList first = first_.enumConnections();
    ConnectionList second = second_.enumConnections();
    // Half a list would read as the other half's links having ended.
    if (!first.ok || !second.ok)
        return {};
    ConnectionList list;
    list.ok = true;
    list.connections = std::move(first.connections);
    for (DialUpConnection& connection : second.connections) {
        connection.handle |= kSecondHandleBit;
        list.connections.push_back(std::move(connection));
    }
    // Each system lists its own longest first; between the two, the one seen
    // first. stable_sort keeps a system's order among those new together.
    ++listings_;
    std::map<std::int32_t, std::uint64_t> seen;
    for (const DialUpConnection& connection : list.connections) {
        const auto known = firstSeen_.find(connection.handle);
        seen[connection.handle] = known != firstSeen_.end() ? known->second : listings_;
    }
    firstSeen_ = std::move(seen);
    std::stable_sort(list.connections.begin(), list.connections.end(),
                     [this](const DialUpConnection& a, const DialUpConnection& b) {
                         return firstSeen_[a.handle] < firstSeen_[b.handle];
                     });
    return list;
}

std::int32_t CombinedDialUp::connectionState(std::int32_t handle)
{
    return ofSecond(handle) ? second_.connectionState(ownHandle(handle)) : first_.connectionState(handle);
}

int CombinedDialUp::hangUp(std::int32_t handle)
{
    return ofSecond(handle) ? second_.hangUp(ownHandle(handle)) : first_.hangUp(handle);
}

Phonebook CombinedDialUp::phonebookEntries()
{
    Phonebook first = first_.phonebookEntries();
    Phonebook second = second_.phonebookEntries();
    secondsNames_.insert(second.entries.begin(), second.entries.end());
    // Why one system lists nothing matters only when the other lists nothing either.
    if (second.entries.empty())
        return first;
    if (first.entries.empty())
        return second;
    std::set<std::string> names(first.entries.begin(), first.entries.end());
    names.insert(second.entries.begin(), second.entries.end());
    Phonebook both;
    both.entries.assign(names.begin(), names.end());
    return both;
}

DialResult CombinedDialUp::dial(const std::string& entryName)
{
    const auto lists = [&entryName](const Phonebook& phonebook) {
        return std::find(phonebook.entries.begin(), phonebook.entries.end(), entryName) != phonebook.entries.end();
    };
    // A name only the second ever listed is its to dial, or to say why it cannot (not running any more),
    // even when a menu still shows it after the second lost it.
    const bool secondHasIt
        = lists(second_.phonebookEntries()) || (secondsNames_.count(entryName) && !lists(first_.phonebookEntries()));
    return secondHasIt ? second_.dial(entryName) : first_.dial(entryName);
}

void CombinedDialUp::onLateRefusal(LateRefusalHandler handler)
{
    first_.onLateRefusal(handler);
    second_.onLateRefusal([handler](LateRefusal refusal) {
        if (refusal.handle != 0)
            refusal.handle |= kSecondHandleBit;
        if (handler)
            handler(refusal);
    });
}

void CombinedDialUp::onPhonebookChanged(std::function<void()> handler)
{
    first_.onPhonebookChanged(handler);
    second_.onPhonebookChanged(handler);
}

} // namespace zumi
