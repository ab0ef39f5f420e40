#pragma once
#include <cstdint>
#include <filesystem>
#include <string>

namespace zumi {

struct FileContents {
    enum class State { Missing, Read, Unreadable, TooLarge };
    State state = State::Missing;
    std::string text;
};

// The whole of a regular file, read at most up to maxSize bytes, so a file
// that is larger (or grows past it while it is read) costs no more.
FileContents readFileUpTo(const std::filesystem::path& path, std::uintmax_t maxSize);

} // namespace zumi
