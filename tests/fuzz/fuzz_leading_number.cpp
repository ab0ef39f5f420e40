// Any text must convert without crashing, and the reading must agree with
// the text's own opinion of being a number.
#include "numbers.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::int32_t n = zumi::leadingNumber(text);
    if (const auto whole = zumi::numericValue(text)) {
        // A whole number reads the same as its leading number, within rounding.
        if (*whole > -2e9 && *whole < 2e9 && std::abs(*whole - n) > 0.5 + 1e-9)
            std::abort();
    }
    std::size_t position = 0;
    while (position < text.size())
        (void)zumi::getToken(position, text, ',');
    return 0;
}
