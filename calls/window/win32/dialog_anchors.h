#pragma once
#include <windows.h>

#include <vector>

namespace zumi::win32 {

// How a control follows the dialog's growth: each edge moves by its share of
// the width (left, right) or height (top, bottom) the dialog has beyond its
// template.
struct Anchor {
    int id;
    float left, right, top, bottom;
};

// A resizable dialog's controls kept where their anchors say. Positions are
// kept in dialog units, so a change of the dialog font (another DPI) lays
// them out anew at its size.
class DialogAnchors final {
public:
    // Takes the controls where the template put them; `shrink` is how far
    // below its template size the dialog may go, in dialog units.
    void take(HWND dialog, const std::vector<Anchor>& anchors, SIZE shrink);
    void layOut() const;
    // The smallest window size, for WM_GETMINMAXINFO.
    POINT minimumTrackSize() const;
    // A width in dialog units as pixels in the dialog's font now.
    int pixelsX(double units) const;

private:
    struct Placed {
        Anchor anchor;
        double x0, y0, x1, y1; // dialog units
    };
    double unitsX() const; // pixels per horizontal dialog unit
    double unitsY() const;

    HWND dialog_ = nullptr;
    std::vector<Placed> placed_;
    double width_ = 0, height_ = 0; // the template's client area, in dialog units
    SIZE shrink_{};
};

} // namespace zumi::win32
