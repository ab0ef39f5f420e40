#include "infowindow/stacking_guard.h"

namespace zumi {

StackingStep keepInfoOnTop(WindowQueries& windows, WindowActions& act, WindowId self)
{
    if (windows.isFullScreen(windows.activeWindow())) {
        act.stackAtBottom(self);
        return StackingStep::SentToBottom;
    }

    // Raising now would cover a menu or tooltip the user is looking at,
    // unless the pointer is on the info window itself.
    const WindowId underPointer = windows.windowUnderPointer();
    if (underPointer != self && (windows.isTransient(underPointer) || windows.isMenuOpen()))
        return StackingStep::LeftAlone;

    if (const WindowId kolp = windows.findKolpWindow()) {
        act.stackBelow(self, kolp);
        return StackingStep::PlacedBelowKolp;
    }
    act.stackOnTop(self);
    return StackingStep::PutOnTop;
}

} // namespace zumi
