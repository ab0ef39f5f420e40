#include "infowindow/twips.h"

#include <algorithm>
#include <cmath>

namespace zumi {

namespace {

constexpr double kTwipsPerInch = 1440;

} // namespace

int twipsPerPixel(double dotsPerInch)
{
    if (!(dotsPerInch > 0))
        return 15;
    return std::max(1, static_cast<int>(std::lround(kTwipsPerInch / dotsPerInch)));
}

int twipsToPixels(double twips, int twipsPerPixel)
{
    return static_cast<int>(std::lround(twips / twipsPerPixel));
}

} // namespace zumi
