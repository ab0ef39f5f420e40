#pragma once
#include "platform/desktop_notifier.h"

namespace zumi {

// org.freedesktop.Notifications on the session bus. The call is not awaited:
// a missing or hung server must not hold up metering.
class DBusDesktopNotifier final : public DesktopNotifier {
public:
    void notify(const std::string& summary, const std::string& body) override;
};

} // namespace zumi
