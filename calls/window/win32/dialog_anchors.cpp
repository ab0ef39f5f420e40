#include "calls/window/win32/dialog_anchors.h"

#include <cmath>

namespace zumi::win32 {

double DialogAnchors::unitsX() const
{
    RECT r{0, 0, 400, 800};
    MapDialogRect(dialog_, &r);
    return r.right / 400.0;
}

double DialogAnchors::unitsY() const
{
    RECT r{0, 0, 400, 800};
    MapDialogRect(dialog_, &r);
    return r.bottom / 800.0;
}

int DialogAnchors::pixelsX(double units) const
{
    return static_cast<int>(std::lround(units * unitsX()));
}

void DialogAnchors::take(HWND dialog, const std::vector<Anchor>& anchors, SIZE shrink)
{
    dialog_ = dialog;
    shrink_ = shrink;
    const double ux = unitsX(), uy = unitsY();
    RECT client{};
    GetClientRect(dialog, &client);
    width_ = client.right / ux;
    height_ = client.bottom / uy;
    placed_.clear();
    for (const Anchor& anchor : anchors) {
        const HWND control = GetDlgItem(dialog, anchor.id);
        RECT r{};
        if (!control || !GetWindowRect(control, &r))
            continue;
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
        placed_.push_back({anchor, r.left / ux, r.top / uy, r.right / ux, r.bottom / uy});
    }
}

void DialogAnchors::layOut() const
{
    if (!dialog_)
        return;
    const double ux = unitsX(), uy = unitsY();
    RECT client{};
    GetClientRect(dialog_, &client);
    const double dx = client.right / ux - width_, dy = client.bottom / uy - height_;
    HDWP moves = BeginDeferWindowPos(static_cast<int>(placed_.size()));
    for (const Placed& p : placed_) {
        const auto px = [ux](double units) { return static_cast<int>(std::lround(units * ux)); };
        const auto py = [uy](double units) { return static_cast<int>(std::lround(units * uy)); };
        const int x0 = px(p.x0 + p.anchor.left * dx), x1 = px(p.x1 + p.anchor.right * dx);
        const int y0 = py(p.y0 + p.anchor.top * dy), y1 = py(p.y1 + p.anchor.bottom * dy);
        const HWND control = GetDlgItem(dialog_, p.anchor.id);
        if (moves)
            moves = DeferWindowPos(moves, control, nullptr, x0, y0, x1 - x0, y1 - y0,
                                   SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
    }
    if (moves)
        EndDeferWindowPos(moves);
    InvalidateRect(dialog_, nullptr, TRUE);
}

POINT DialogAnchors::minimumTrackSize() const
{
    RECT window{}, client{};
    GetWindowRect(dialog_, &window);
    GetClientRect(dialog_, &client);
    const LONG frameX = (window.right - window.left) - client.right;
    const LONG frameY = (window.bottom - window.top) - client.bottom;
    return {frameX + static_cast<LONG>(std::lround((width_ - shrink_.cx) * unitsX())),
            frameY + static_cast<LONG>(std::lround((height_ - shrink_.cy) * unitsY()))};
}

} // namespace zumi::win32
