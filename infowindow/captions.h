#pragma once
#include <array>
#include <string_view>

namespace zumi {

// The row's captions.
enum class Caption { Speed, Time, Takt };

// The data rate as the window shows it when it is loaded.
inline constexpr std::string_view kSpeedOnLoad = "0,0 KB/s";

struct CaptionText {
    Caption caption;
    std::string_view text;
};

// Each caption with the widest texts it is given: rates below 10 000 KB/s,
// online times below ten hours, units up to an hour. The font is chosen so
// that all of them show whole.
inline constexpr std::array<CaptionText, 4> kWidestCaptions{{
    {Caption::Speed, "99,9 KB/s"},
    {Caption::Speed, "9999 KB/s"},
    {Caption::Time, "9:59:59"},
    {Caption::Takt, "59:59"},
}};

} // namespace zumi
