#include "infowindow/win32/info_geometry.h"

namespace zumi {
namespace {

// The design, in pixels at 15 twips per pixel.
constexpr int kDesignTwipsPerPixel = 15;
constexpr int kWindowHeight = 21;
constexpr int kFieldTop = 4; // the row container reaches 7 px above the window
constexpr int kFieldHeight = 13;
constexpr int kTaktWidth = 24; // lblTakt, at picRight's left edge
constexpr int kBarLeft = 26; // in picRight
constexpr int kBarTop = 2;
constexpr int kBarWidth = 62;
constexpr int kBarHeight = 9;
constexpr int kUnitsLeftFromRight = 22; // lblAutoDiscRest's left, from the bar's right edge
constexpr int kUnitsLeftWidth = 20;

int scaled(int designPixels, int twipsPerPixel)
{
    return twipsToPixels(static_cast<double>(designPixels) * kDesignTwipsPerPixel, twipsPerPixel);
}

} // namespace

InfoRow loadedInfoRow()
{
    return {{3, 49}, {56, 35}, {96, 89}, 189};
}

InfoGeometry infoGeometry(const InfoRow& row, TwipsPerPixel tpp)
{
    // Places and sizes are scaled each on their own: a field keeps its size
    // wherever the options put it, and the bar its image.
    const auto x = [&](int design) { return scaled(design, tpp.x); };
    const auto y = [&](int design) { return scaled(design, tpp.y); };
    const auto rect = [](int left, int top, int width, int height) {
        return PixelRect{left, top, left + width, top + height};
    };
    const int top = y(kFieldTop), height = y(kFieldHeight);

    InfoGeometry g;
    g.width = x(row.windowWidth());
    g.height = y(kWindowHeight);
    g.speed = rect(x(row.speed.left), top, x(row.speed.width), height);
    g.time = rect(x(row.time.left), top, x(row.time.width), height);
    g.rest = rect(x(row.rest.left), top, x(row.rest.width), height);
    g.takt = rect(g.rest.left, top, x(kTaktWidth), height);
    g.bar = rect(g.rest.left + x(kBarLeft), top + y(kBarTop), x(kBarWidth), y(kBarHeight));
    // One twip below the bar's top: the first pixel row at any density.
    g.unitsLeft = rect(g.bar.right - x(kUnitsLeftFromRight), g.bar.top + twipsToPixels(1, tpp.y),
                       x(kUnitsLeftWidth), g.bar.bottom - g.bar.top - 2);
    return g;
}

} // namespace zumi
