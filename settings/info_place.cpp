#include "settings/info_place.h"

#include "core/numbers.h"

#include <cmath>
#include <utility>

namespace zumi {
namespace {

double primaryWidthTwips(const ScreenLayout& screens, int tppX)
{
    return static_cast<double>(screens.primary.right - screens.primary.left) * tppX;
}

// The window's top left corner in desktop pixels, in wide integers: a stored
// place far out must not overflow on its way to the test below.
std::pair<long long, long long> desktopPixels(const InfoPlace& place, const ScreenLayout& screens, int tppX, int tppY)
{
    return {screens.primary.left + std::llround(static_cast<double>(place.leftTwips) / tppX),
            screens.primary.top + std::llround(static_cast<double>(place.topTwips) / tppY)};
}

bool showsAnyOf(const ScreenLayout& screens, std::pair<long long, long long> corner, int widthPx, int heightPx)
{
    const auto [x, y] = corner;
    for (const PixelRect& s : screens.screens) {
        if (x < s.right && x + widthPx > s.left && y < s.bottom && y + heightPx > s.top)
            return true;
    }
    return false;
}

} // namespace

InfoPlace placeInfoWindow(const InfoPosition& position, int widthPx, int heightPx, const ScreenLayout& screens,
                          int tppX, int tppY)
{
    const double screenWidth = primaryWidthTwips(screens, tppX);
    InfoPlace place{roundToInt32(screenWidth - position.infoRight - static_cast<double>(widthPx) * tppX),
                    position.infoTop};
    if (!showsAnyOf(screens, desktopPixels(place, screens, tppX, tppY), widthPx, heightPx))
        place = {roundToInt32(screenWidth - kDefaultInfoLeftFromRight), kDefaultInfoTop};
    const auto [x, y] = desktopPixels(place, screens, tppX, tppY);
    place.x = static_cast<int>(x);
    place.y = static_cast<int>(y);
    return place;
}

InfoPosition recordInfoPosition(int x, int y, int widthPx, const ScreenLayout& screens, int tppX, int tppY)
{
    const double left = static_cast<double>(x - screens.primary.left) * tppX;
    InfoPosition position;
    position.infoLeft = roundToInt32(left);
    position.infoRight = roundToInt32(primaryWidthTwips(screens, tppX) - static_cast<double>(widthPx) * tppX - left);
    position.infoTop = roundToInt32(static_cast<double>(y - screens.primary.top) * tppY);
    return position;
}

} // namespace zumi
