#include "ras/networkmanager/nm_links.h"

#include <algorithm>

namespace zumi::nm {
namespace {

bool dialableType(const std::string& type)
{
    return type == "gsm" || type == "cdma" || type == "pppoe";
}

} // namespace

bool Profile::dialable() const
{
    // A Bluetooth profile is dial-up only as DUN; PAN is a network.
    return dialableType(type) || (type == "bluetooth" && bluetoothType == "dun");
}

void LinkCache::clear()
{
    profiles_.clear();
    actives_.clear();
    deviceInterfaces_.clear();
}

void LinkCache::setProfile(const std::string& path, Profile profile)
{
    profiles_[path] = std::move(profile);
}

std::optional<Profile> LinkCache::profile(const std::string& path) const
{
    const auto found = profiles_.find(path);
    return found != profiles_.end() ? std::optional<Profile>(found->second) : std::nullopt;
}

void LinkCache::removeProfile(const std::string& path)
{
    profiles_.erase(path);
}

void LinkCache::setActiveConnections(const std::vector<std::string>& paths)
{
    std::erase_if(actives_,
                  [&](const auto& entry) { return std::find(paths.begin(), paths.end(), entry.first) == paths.end(); });
    for (const std::string& path : paths)
        if (!actives_.count(path))
            actives_[path].handle = nextHandle_++;
}

void LinkCache::setActive(const std::string& path, const ActiveUpdate& update)
{
    const auto found = actives_.find(path);
    if (found == actives_.end())
        return; // not (or no longer) in the manager's list
    Active& active = found->second;
    active.read = true;
    if (update.profilePath)
        active.profilePath = *update.profilePath;
    if (update.state)
        active.state = *update.state;
    if (update.devices)
        active.devices = *update.devices;
    if (update.type)
        active.type = *update.type;
    if (update.id)
        active.id = *update.id;
}

void LinkCache::setDeviceInterface(const std::string& devicePath, std::string ipInterface)
{
    deviceInterfaces_[devicePath] = std::move(ipInterface);
}

void LinkCache::removeDevice(const std::string& devicePath)
{
    deviceInterfaces_.erase(devicePath);
}

bool LinkCache::dialable(const Active& active) const
{
    const auto profile = profiles_.find(active.profilePath);
    if (profile != profiles_.end())
        return profile->second.dialable();
    return dialableType(active.type);
}

std::string LinkCache::nameOf(const Active& active) const
{
    const auto profile = profiles_.find(active.profilePath);
    return profile != profiles_.end() ? profile->second.id : active.id;
}

const LinkCache::Active* LinkCache::findActive(std::int32_t handle) const
{
    for (const auto& [path, active] : actives_)
        if (active.handle == handle)
            return &active;
    return nullptr;
}

ConnectionList LinkCache::connections() const
{
    std::vector<const Active*> listed;
    for (const auto& [path, active] : actives_) {
        const bool running = active.state == ActiveState::Activating || active.state == ActiveState::Activated
            || active.state == ActiveState::Deactivating;
        if (active.read && running && dialable(active))
            listed.push_back(&active);
    }
    std::sort(listed.begin(), listed.end(), [](const Active* a, const Active* b) { return a->handle < b->handle; });
    ConnectionList list;
    list.ok = true;
    for (const Active* active : listed)
        list.connections.push_back({active->handle, nameOf(*active)});
    return list;
}

std::int32_t LinkCache::state(std::int32_t handle) const
{
    if (const Active* active = findActive(handle)) {
        switch (active->state) {
        case ActiveState::Activated:
            return kStateConnected;
        case ActiveState::Unknown:
        case ActiveState::Activating:
            return kStateConnecting;
        case ActiveState::Deactivating:
        case ActiveState::Deactivated:
            return kStateDisconnected;
        }
    }
    // Handed out once and gone since.
    return handle > 0 && handle < nextHandle_ ? kStateDisconnected : 0;
}

ActiveState LinkCache::activeState(const std::string& path) const
{
    const auto found = actives_.find(path);
    return found != actives_.end() ? found->second.state : ActiveState::Unknown;
}

std::vector<std::string> LinkCache::devicesOf(const std::string& activePath) const
{
    const auto found = actives_.find(activePath);
    return found != actives_.end() ? found->second.devices : std::vector<std::string>{};
}

std::string LinkCache::interfaceOf(std::int32_t handle) const
{
    const Active* active = findActive(handle);
    if (!active || active->devices.empty())
        return {};
    const auto device = deviceInterfaces_.find(active->devices.front());
    return device != deviceInterfaces_.end() ? device->second : std::string();
}

std::optional<std::string> LinkCache::activePath(std::int32_t handle) const
{
    for (const auto& [path, active] : actives_)
        if (active.handle == handle)
            return path;
    return std::nullopt;
}

std::string LinkCache::entryName(std::int32_t handle) const
{
    const Active* active = findActive(handle);
    return active ? nameOf(*active) : std::string();
}

std::vector<std::string> LinkCache::entries() const
{
    std::vector<std::string> names;
    for (const auto& [path, profile] : profiles_)
        if (profile.dialable())
            names.push_back(profile.id);
    return names;
}

std::optional<std::string> LinkCache::profileNamed(const std::string& name) const
{
    for (const auto& [path, profile] : profiles_)
        if (profile.dialable() && profile.id == name)
            return path;
    return std::nullopt;
}

} // namespace zumi::nm
