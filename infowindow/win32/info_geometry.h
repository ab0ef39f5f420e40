#pragma once
#include "infowindow/row_layout.h"
#include "infowindow/twips.h"
#include "platform/pixel_rect.h"

namespace zumi {

// The info window's row in the screen's pixels: the design's pixels are twips
// at 15 twips per pixel, laid out again at the screen's own twips per pixel,
// so that the window keeps its proportions on a screen of any density.
// Rectangles are in the window's client pixels.
struct InfoGeometry {
    int width = 0;
    int height = 0;
    PixelRect speed;     // lblSpeed
    PixelRect time;      // lblTime
    PixelRect rest;      // picRight: the unit time and the bar
    PixelRect takt;      // lblTakt
    PixelRect bar;       // picBack
    PixelRect unitsLeft; // lblAutoDiscRest, on the bar
};

// The design's row as loaded, before the display options lay it out.
InfoRow loadedInfoRow();

InfoGeometry infoGeometry(const InfoRow& row, TwipsPerPixel tpp);

} // namespace zumi
