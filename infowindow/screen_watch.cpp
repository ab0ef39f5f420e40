#include "infowindow/screen_watch.h"

namespace zumi {

bool ScreenWatch::changed(const ScreenLayout& now)
{
    if (now == last_)
        return false;
    last_ = now;
    return true;
}

} // namespace zumi
