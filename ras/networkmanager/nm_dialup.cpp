#include "ras/networkmanager/nm_dialup.h"

#include "ras/networkmanager/nm_bus.h"

namespace zumi {

NetworkManagerDialUp::NetworkManagerDialUp()
    : bus_(std::make_unique<nm::Bus>(cache_))
{
}

NetworkManagerDialUp::~NetworkManagerDialUp() = default;

ConnectionList NetworkManagerDialUp::enumConnections()
{
    return cache_.connections();
}

std::int32_t NetworkManagerDialUp::connectionState(std::int32_t handle)
{
    return cache_.state(handle);
}

int NetworkManagerDialUp::hangUp(std::int32_t handle)
{
    const auto path = cache_.activePath(handle);
    if (path && cache_.state(handle) != kStateDisconnected)
        bus_->deactivate(*path, handle, cache_.entryName(handle));
    return 0;
}

Phonebook NetworkManagerDialUp::phonebookEntries()
{
    Phonebook phonebook;
    phonebook.entries = cache_.entries();
    return phonebook;
}

DialResult NetworkManagerDialUp::dial(const std::string& entryName)
{
    const auto profile = cache_.profileNamed(entryName);
    if (!profile)
        return DialResult(false, present() ? DialError::NoSuchEntry : DialError::NotRunning, "NetworkManager");
    bus_->activate(*profile, entryName);
    return DialResult(true);
}

void NetworkManagerDialUp::onLateRefusal(LateRefusalHandler handler)
{
    bus_->onRefusal(std::move(handler));
}

void NetworkManagerDialUp::onPhonebookChanged(std::function<void()> handler)
{
    bus_->onPhonebookChanged(std::move(handler));
}

bool NetworkManagerDialUp::present() const
{
    return bus_->present();
}

} // namespace zumi
