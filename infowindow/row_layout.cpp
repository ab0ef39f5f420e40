#include "infowindow/row_layout.h"

namespace zumi {
namespace {

// Pixels between a field and the one before it, and after the last one.
constexpr int kGapBeforeTime = 5;
constexpr int kGapBeforeRest = 4;
constexpr int kGapAtEnd = 5;

} // namespace

InfoRow layOutRow(InfoRow row, const Options& options)
{
    int end = 0;
    row.speed.shown = options.ShowSpeed;
    if (row.speed.shown)
        end = row.speed.right();

    row.time.shown = options.ShowOnlineTime;
    if (row.time.shown) {
        row.time.left = end + kGapBeforeTime;
        end = row.time.right();
    }

    row.rest.shown = options.ShowRest;
    if (row.rest.shown) {
        row.rest.left = end + kGapBeforeRest;
        end = row.rest.right();
    }

    row.frameWidth = end + kGapAtEnd;
    return row;
}

} // namespace zumi
