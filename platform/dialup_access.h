#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace zumi {

// Connection state numbers as dial-up networking reports them.
inline constexpr std::int32_t kStateConnected = 8192;
inline constexpr std::int32_t kStateDisconnected = 8193;

struct DialUpConnection {
    std::int32_t handle = 0;
    std::string entryName;
};

struct ConnectionList {
    bool ok = false;                          // false: the enumeration itself failed
    std::vector<DialUpConnection> connections; // the first one is "the" connection
};

struct DialResult {
    bool started = false;
    std::string error; // why the dialer could not be started, for the user
};

// The operating system's dial-up networking, one backend per platform.
class DialUpAccess {
public:
    virtual ~DialUpAccess() = default;
    virtual ConnectionList enumConnections() = 0;
    // The state number of the connection, 0 when the handle names none.
    virtual std::int32_t connectionState(std::int32_t handle) = 0;
    // Asks for the hang-up and returns at once.
    virtual void hangUp(std::int32_t handle) = 0;
    // The phonebook entry names, in no particular order.
    virtual std::vector<std::string> phonebookEntries() = 0;
    // Starts the system's dialer for the entry, detached.
    virtual DialResult dial(const std::string& entryName) = 0;
};

} // namespace zumi
