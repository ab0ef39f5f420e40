#pragma once

namespace zumi {

// Twips per pixel of the screen, whole numbers, read once per load.
struct TwipsPerPixel {
    int x = 15;
    int y = 15;
};

// For a screen of so many dots per inch; 15 (96 dpi) when it reports none.
int twipsPerPixel(double dotsPerInch);

// Twips to whole pixels, rounded to the nearest.
int twipsToPixels(double twips, int twipsPerPixel);

// Where the info window waits, left of and above the whole desktop, before it
// is placed and before it goes.
inline constexpr double kOffScreenTwips = -1111;

} // namespace zumi
