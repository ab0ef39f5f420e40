#include "infowindow/win32/bar_image.h"

namespace zumi {

BarImage::~BarImage() { release(); }

void BarImage::release()
{
    if (dc_) {
        SelectObject(dc_, previous_);
        DeleteDC(dc_);
    }
    if (bitmap_)
        DeleteObject(bitmap_);
    dc_ = nullptr;
    bitmap_ = nullptr;
    width_ = height_ = 0;
}

void BarImage::reset(int width, int height, COLORREF background)
{
    release();
    const HDC screen = GetDC(nullptr);
    dc_ = CreateCompatibleDC(screen);
    bitmap_ = CreateCompatibleBitmap(screen, width, height);
    ReleaseDC(nullptr, screen);
    if (!dc_ || !bitmap_) {
        release();
        return;
    }
    previous_ = SelectObject(dc_, bitmap_);
    width_ = width;
    height_ = height;
    fill({0, 0, width, height}, background);
}

void BarImage::fill(const PixelRect& rect, COLORREF colour)
{
    if (!dc_ || rect.right <= rect.left || rect.bottom <= rect.top)
        return;
    // An opaque empty text fills the rectangle in the background colour:
    // no brush to make and free on every tick.
    const RECT area{rect.left, rect.top, rect.right, rect.bottom};
    SetBkColor(dc_, colour);
    ExtTextOutW(dc_, 0, 0, ETO_OPAQUE, &area, nullptr, 0, nullptr);
}

void BarImage::paint(HDC target, int left, int top) const
{
    if (dc_)
        BitBlt(target, left, top, width_, height_, dc_, 0, 0, SRCCOPY);
}

} // namespace zumi
