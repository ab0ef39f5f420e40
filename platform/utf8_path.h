#pragma once
#include <filesystem>
#include <string>

namespace zumi {

// The path as UTF-8, the one form of a file name that libraries like SQLite
// take on every system (a native narrow name is not UTF-8 everywhere).
inline std::string utf8Path(const std::filesystem::path& path)
{
    const std::u8string text = path.u8string();
    return {text.begin(), text.end()};
}

} // namespace zumi
