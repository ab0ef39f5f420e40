#pragma once
#include "platform/pixel_rect.h"

#include <windows.h>

namespace zumi {

// The unit bar's persistent image: drawing goes into an off-screen bitmap,
// and every paint of the window shows it as it stands.
class BarImage {
public:
    BarImage() = default;
    ~BarImage();
    BarImage(const BarImage&) = delete;
    BarImage& operator=(const BarImage&) = delete;

    // A fresh image of that size, all in the background colour.
    void reset(int width, int height, COLORREF background);
    void fill(const PixelRect& rect, COLORREF colour);
    void paint(HDC target, int left, int top) const;
    int width() const { return width_; }
    int height() const { return height_; }

private:
    void release();

    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previous_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};

} // namespace zumi
