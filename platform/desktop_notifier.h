#pragma once
#include <string>

namespace zumi {

// A short message in the desktop's own notification area, beside the program's
// boxes. Sends and returns at once; without a notification server nothing is shown.
class DesktopNotifier {
public:
    virtual ~DesktopNotifier() = default;
    virtual void notify(const std::string& summary, const std::string& body) = 0;
};

} // namespace zumi
