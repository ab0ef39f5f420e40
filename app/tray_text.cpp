#include "app/tray_text.h"

#include <cstdio>

namespace zumi {

std::string leftChars(std::string_view text, std::size_t maxChars)
{
    std::size_t chars = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        const bool continuation = (byte & 0xC0) == 0x80;
        if (!continuation) {
            if (chars == maxChars)
                return std::string(text.substr(0, i));
            ++chars;
        }
    }
    return std::string(text);
}

std::string trayAddTooltip(std::string_view text)
{
    std::string padded;
    padded.reserve(text.size() + 2);
    padded += ' ';
    padded += text;
    padded += ' ';
    return leftChars(padded, kTooltipChars);
}

std::string trayModifyTooltip(std::string_view text)
{
    return leftChars(text, kTooltipChars);
}

std::string foregroundDebugLine(WindowId window, std::string_view title)
{
    char hex[2 * sizeof(WindowId) + 1];
    std::snprintf(hex, sizeof hex, "%llX", static_cast<unsigned long long>(window));
    std::string line = hex;
    line += "  ";
    line += title;
    return line;
}

} // namespace zumi
