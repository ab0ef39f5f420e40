#pragma once
#include "core/conn_names.h"
#include "platform/pixel_rect.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zumi {

inline constexpr int kBands = 8; // 0..3 weekday, 4..7 weekend and holiday

// Start hours and cycle lengths, as typed, per connection and band.
// Out-of-range connections read as empty and ignore writes.
class TariffTables {
public:
    const std::string& start(int connection, int band) const;
    const std::string& takt(int connection, int band) const;
    void setStart(int connection, int band, std::string text);
    void setTakt(int connection, int band, std::string text);

private:
    static bool inRange(int connection, int band);
    // Cell of connection c and band b: element b * 30 + c.
    std::array<std::string, kBands * kMaxConnections> start_{};
    std::array<std::string, kBands * kMaxConnections> takt_{};
};

struct Options {
    bool HangupSnd = false;
    bool WarnSnd = false;
    bool AutoHangup = false;
    std::int32_t Vorlauf = 2;
    std::int32_t HangupBytes = 512;
    std::int32_t HangupTakte = 1; // 1..10
    bool ShowSpeed = true;
    bool ShowOnlineTime = true;
    bool ShowRest = true;
};

// The info window's position in twips, on the primary screen's terms: left
// and top from its top left corner, infoRight the distance of the window's
// right edge from its right edge.
struct InfoPosition {
    std::int32_t infoLeft = 0;
    std::int32_t infoRight = 0;
    std::int32_t infoTop = 0;
};

struct Settings {
    TariffTables tariffs;
    Options options;
    InfoPosition position;
};

// The screens in whole-desktop pixels. The info window's stored place counts
// from the primary screen (its right edge's distance from that screen's right
// edge, its top from that screen's top), so it means the same wherever the
// desktop puts that screen: right of or below another one on X11.
struct ScreenLayout {
    PixelRect primary;
    std::vector<PixelRect> screens; // all of them, the primary among them
    bool operator==(const ScreenLayout&) const = default;
};

// The info window's width as loaded, before the display options lay it out.
inline constexpr int kInfoLoadedWidthPx = 188;

// What the position rules need to know of the screen, in twips.
struct ScreenMetrics {
    double screenWidth = 0;  // twips
    double screenHeight = 0; // twips
    double twipsPerPixelX = 15;
    double twipsPerPixelY = 15;
    double infoWidth = kInfoLoadedWidthPx * 15;
    ScreenLayout layout{}; // none: the primary screen alone, at 0,0
};

} // namespace zumi
