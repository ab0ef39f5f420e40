#pragma once
#include "infowindow/twips.h"
#include "infowindow/win32/info_geometry.h"

#include <windows.h>

namespace zumi {

// The info window's two fonts at the screen's density: the captions' and the
// bar's small one for the remaining units.
class InfoFonts {
public:
    InfoFonts(const InfoGeometry& geometry, TwipsPerPixel tpp);
    ~InfoFonts();
    InfoFonts(const InfoFonts&) = delete;
    InfoFonts& operator=(const InfoFonts&) = delete;

    HFONT caption() const { return caption_; }
    HFONT small() const { return small_; }

private:
    HFONT caption_ = nullptr;
    HFONT small_ = nullptr;
};

} // namespace zumi
