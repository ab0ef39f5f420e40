#pragma once

namespace zumi {

// A rectangle on the screen in pixels; right and bottom are exclusive.
struct PixelRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const PixelRect&) const = default;
};

} // namespace zumi
