#include "platform/read_file.h"

#include <cstdio>
#include <memory>
#include <system_error>
#include <utility>

namespace zumi {

FileContents readFileUpTo(const std::filesystem::path& path, std::uintmax_t maxSize)
{
    using State = FileContents::State;
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (status.type() == std::filesystem::file_type::not_found)
        return {State::Missing, {}};
    if (error || status.type() != std::filesystem::file_type::regular)
        return {State::Unreadable, {}};
    const auto size = std::filesystem::file_size(path, error);
    if (error)
        return {State::Unreadable, {}};
    if (size > maxSize)
        return {State::TooLarge, {}};
    // C stdio, not a stream: a stream would bring in the C++ locale machinery,
    // a few hundred kB resident for one read at the start.
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> in(std::fopen(path.c_str(), "rb"), std::fclose);
    if (!in)
        return {State::Unreadable, {}};
    std::string text(static_cast<std::size_t>(size), '\0');
    text.resize(std::fread(text.data(), 1, text.size(), in.get()));
    // It may have grown since it was measured.
    char more[4096];
    while (const std::size_t got = std::fread(more, 1, sizeof more, in.get())) {
        if (text.size() + got > maxSize)
            return {State::TooLarge, {}};
        text.append(more, got);
    }
    if (std::ferror(in.get()))
        return {State::Unreadable, {}};
    return {State::Read, std::move(text)};
}

} // namespace zumi
