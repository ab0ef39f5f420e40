#pragma once
#include "platform/window_queries.h"

namespace zumi {

// What keepInfoOnTop did with the info window.
enum class StackingStep {
    SentToBottom,    // a full-screen program is in front
    LeftAlone,       // a menu, tooltip or screen saver is in use
    PlacedBelowKolp, // directly below the sibling program's window
    PutOnTop,
};

// Puts the info window `self` where it belongs in the stacking order,
// decided afresh from the foreground window, the pointer and the window list.
StackingStep keepInfoOnTop(WindowQueries& windows, WindowActions& act, WindowId self);

} // namespace zumi
