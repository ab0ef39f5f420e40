#pragma once
#include "platform/dialup_access.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace zumi::nm {

// NetworkManager's NMActiveConnectionState.
enum class ActiveState : std::uint32_t {
    Unknown = 0,
    Activating = 1,
    Activated = 2,
    Deactivating = 3,
    Deactivated = 4
};

// What a connection profile says of itself ("connection.id", "connection.type",
// "bluetooth.type").
struct Profile {
    std::string id;
    std::string type;
    std::string bluetoothType;

    // The kinds a user dials and pays for by time.
    bool dialable() const;
};

// What an active connection says of itself; each field only when it was read.
struct ActiveUpdate {
    std::optional<std::string> profilePath;
    std::optional<ActiveState> state;
    std::optional<std::vector<std::string>> devices;
    std::optional<std::string> type;
    std::optional<std::string> id;
};

// What Zumi knows of NetworkManager, kept up to date from its signals and
// read without asking it anything: the dialable profiles, the active
// connections with their handles, and the IP interfaces of their devices.
// A handle names one activation; it is handed out when the activation first
// shows up and never again while the program runs.
class LinkCache {
public:
    // NetworkManager left the bus: every activation it had is over.
    void clear();

    void setProfile(const std::string& path, Profile profile);
    void removeProfile(const std::string& path);
    std::optional<Profile> profile(const std::string& path) const;
    // The manager's list of active connections: the new ones are taken up
    // (unread until setActive), those missing are over.
    void setActiveConnections(const std::vector<std::string>& paths);
    void setActive(const std::string& path, const ActiveUpdate& update);
    void setDeviceInterface(const std::string& devicePath, std::string ipInterface);
    void removeDevice(const std::string& devicePath);

    // The dialable active connections, the longest known first.
    ConnectionList connections() const;
    // kStateConnected while activated, kStateDisconnected once it is
    // deactivating or over, the in-progress state while activating, 0 for a
    // handle never handed out.
    std::int32_t state(std::int32_t handle) const;
    std::string interfaceOf(std::int32_t handle) const;
    // The object path of the activation with this handle.
    std::optional<std::string> activePath(std::int32_t handle) const;
    // The entry name of the activation with this handle, "" when it is unknown.
    std::string entryName(std::int32_t handle) const;

    std::vector<std::string> entries() const;
    std::optional<std::string> profileNamed(const std::string& name) const;
    bool knowsActive(const std::string& path) const { return actives_.count(path) != 0; }
    std::vector<std::string> devicesOf(const std::string& activePath) const;
    ActiveState activeState(const std::string& path) const;

private:
    struct Active {
        std::int32_t handle = 0;
        bool read = false;
        std::string profilePath;
        ActiveState state = ActiveState::Unknown;
        std::vector<std::string> devices;
        std::string type;
        std::string id;
    };

    const Active* findActive(std::int32_t handle) const;
    bool dialable(const Active& active) const;
    std::string nameOf(const Active& active) const;

    std::map<std::string, Profile> profiles_;
    std::map<std::string, Active> actives_;
    std::map<std::string, std::string> deviceInterfaces_;
    std::int32_t nextHandle_ = 1;
};

} // namespace zumi::nm
