#pragma once
#include "platform/window_queries.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace zumi {

// The tray keeps its tooltip in a 64-character field that ends with a NUL,
// so at most 63 characters are shown.
inline constexpr std::size_t kTooltipChars = 63;

// The first maxChars characters of a UTF-8 text; a character is never cut in half.
std::string leftChars(std::string_view text, std::size_t maxChars);

// trayAdd pads the text with one blank on each side; trayModify does not.
std::string trayAddTooltip(std::string_view text);
std::string trayModifyTooltip(std::string_view text);

// The line written for each tray click: the foreground window in uppercase
// hexadecimal without leading zeros, two blanks, its title.
std::string foregroundDebugLine(WindowId window, std::string_view title);

} // namespace zumi
