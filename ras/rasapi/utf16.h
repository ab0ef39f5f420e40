#pragma once
#include <optional>
#include <string>

namespace zumi::rasapi {

// Names are UTF-8 inside Zumi and UTF-16 at RAS. A text that is not valid
// UTF-8 has no UTF-16 form: it could only name a different entry.
std::optional<std::wstring> toUtf16(const std::string& text);
// Up to the first NUL of a fixed-size field.
std::string fromUtf16(const wchar_t* text, std::size_t capacity);

} // namespace zumi::rasapi
