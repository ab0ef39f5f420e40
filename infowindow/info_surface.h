#pragma once
#include "platform/window_queries.h"
#include "settings/settings.h"

#include <cstdint>
#include <string>

namespace zumi {

// One load of the info window, as the presenter drives it. Each text is shown
// at once; the bar and the place follow the window's own rules.
class InfoSurface {
public:
    virtual ~InfoSurface() = default;
    virtual void setTimeText(const std::string& text) = 0;  // lblTime
    virtual void setTaktText(const std::string& text) = 0;  // lblTakt
    virtual void setSpeedText(const std::string& text) = 0; // lblSpeed
    virtual void setProgressValue(double percent) = 0;
    // Lays out the row from the display options; the right edge stays.
    virtual void setOption(const Options& options) = 0;
    // Twips from the whole desktop's top left corner.
    virtual void moveTwips(double left, double top) = 0;
    // Moves to the stored place on the screens as they are now; gives its
    // left edge in twips.
    virtual std::int32_t moveToStoredPlace() = 0;
    virtual bool isVisible() const = 0;
    virtual WindowId id() = 0;
    // Shows the window without taking the focus and returns once the window
    // system has it. Events run in there: the surface may be unloaded by then.
    virtual void show() = 0;
};

} // namespace zumi
