#pragma once
#include "platform/dialup_access.h"

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>

namespace zumi {

// Two dial-up systems as one: the phonebooks together (a name both list is
// dialed by the second, and so is one only the second ever listed), the
// connections of both, each request sent to the system whose handle or entry
// it is. The second's handles are told apart by kSecondHandleBit; the
// first's (process ids) stay below it.
class CombinedDialUp final : public DialUpAccess {
public:
    static constexpr std::int32_t kSecondHandleBit = 1 << 30;

    CombinedDialUp(std::unique_ptr<DialUpAccess> first, std::unique_ptr<DialUpAccess> second)
        : firstOwned_(std::move(first))
        , secondOwned_(std::move(second))
        , first_(*firstOwned_)
        , second_(*secondOwned_)
    {
    }

    // The connections of both, the one known longest first.
    ConnectionList enumConnections() override;
    std::int32_t connectionState(std::int32_t handle) override;
    int hangUp(std::int32_t handle) override;
    Phonebook phonebookEntries() override;
    DialResult dial(const std::string& entryName) override;
    void onLateRefusal(LateRefusalHandler handler) override;
    void onPhonebookChanged(std::function<void()> handler) override;

    // Which system a combined handle is of, and its own handle there.
    static bool ofSecond(std::int32_t handle) { return handle > 0 && (handle & kSecondHandleBit) != 0; }
    static std::int32_t ownHandle(std::int32_t handle) { return handle & ~kSecondHandleBit; }

private:
    std::unique_ptr<DialUpAccess> firstOwned_;
    std::unique_ptr<DialUpAccess> secondOwned_;
    DialUpAccess& first_;
    DialUpAccess& second_;
    std::map<std::int32_t, std::uint64_t> firstSeen_; // combined handle → when it was first listed
    std::uint64_t listings_ = 0;
    std::set<std::string> secondsNames_; // every name the second has listed
};

} // namespace zumi
