#include "settings/info_place.h"

#include "core/numbers.h"

#include <cmath>
#include <optional>

namespace zumi {
namespace {

double primaryWidthTwips(const ScreenLayout& screens, int tppX)
{
    return static_cast<double>(screens.primary.right - screens.primary.left) * tppX;
}

// Wide integers: a stored place far out must not overflow on its way to the test.
bool showsAnyOf(const ScreenLayout& screens, long long x, long long y, int widthPx, int heightPx)
{
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
    const auto place = [&](double left, double top, bool checked) -> std::optional<InfoPlace> {
        InfoPlace at{roundToInt32(left), roundToInt32(top)};
        const long long x = screens.primary.left + std::llround(static_cast<double>(at.leftTwips) / tppX);
        const long long y = screens.primary.top + std::llround(static_cast<double>(at.topTwips) / tppY);
        if (checked && !showsAnyOf(screens, x, y, widthPx, heightPx))
            return std::nullopt;
        at.x = static_cast<int>(x);
        at.y = static_cast<int>(y);
        return at;
    };
    const double width = static_cast<double>(widthPx) * tppX;
    if (const auto stored = place(screenWidth - position.infoRight - width, position.infoTop, true))
        return *stored;
    return *place(screenWidth - kDefaultInfoLeftFromRight, kDefaultInfoTop, false);
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
