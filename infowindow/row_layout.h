#pragma once
#include "settings/settings.h"

namespace zumi {

// One field of the info window's row, in pixels of the row container.
struct RowField {
    int left = 0;
    int width = 0;
    bool shown = true;
    int right() const { return left + width; }
    bool operator==(const RowField&) const = default;
};

// The row from left to right: the data rate, the online time, and the unit
// time with its bar. The container reaches 1 px past the window's right edge.
struct InfoRow {
    RowField speed;
    RowField time;
    RowField rest;
    int frameWidth = 0;
    int windowWidth() const { return frameWidth - 1; }
    bool operator==(const InfoRow&) const = default;
};

// The row for the display options: each field shown follows the one before
// it (the data rate keeps its place), and a hidden field keeps its last left
// edge, so that switching it on again finds it where the next layout puts it.
InfoRow layOutRow(InfoRow row, const Options& options);

} // namespace zumi
