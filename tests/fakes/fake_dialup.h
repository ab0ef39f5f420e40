#pragma once
#include "platform/dialup_access.h"

#include <map>
#include <string>
#include <vector>

namespace zumi::test {

// Dial-up networking as a test wants it: connections and states set by hand,
// hang-ups and dials recorded.
class FakeDialUp final : public DialUpAccess {
public:
    bool enumFails = false;
    std::vector<DialUpConnection> connections;
    std::map<std::int32_t, std::int32_t> states; // handle -> state; missing = 0
    std::vector<std::string> phonebook;
    std::vector<std::int32_t> hangUps;
    std::vector<std::string> dials;
    DialResult dialResult{true, {}};
    bool hangUpDrops = false; // a hang-up removes the connection at once
    PhonebookError phonebookError = PhonebookError::None;
    int hangUpError = 0; // what hangUp() answers (EPERM: refused)

    void connect(std::int32_t handle, const std::string& name)
    {
        connections.push_back({handle, name});
        states[handle] = kStateConnected;
    }
    void disconnectAll()
    {
        connections.clear();
        states.clear();
    }

    ConnectionList enumConnections() override
    {
        return enumFails ? ConnectionList{} : ConnectionList{true, connections};
    }
    std::int32_t connectionState(std::int32_t handle) override { return states.count(handle) ? states.at(handle) : 0; }
    int hangUp(std::int32_t handle) override
    {
        hangUps.push_back(handle);
        if (hangUpDrops)
            disconnectAll();
        return hangUpError;
    }
    Phonebook phonebookEntries() override { return {phonebook, phonebookError, "/etc/ppp/peers", 0}; }
    DialResult dial(const std::string& entryName) override
    {
        dials.push_back(entryName);
        return dialResult;
    }
};

} // namespace zumi::test
