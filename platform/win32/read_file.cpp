#include "platform/read_file.h"

#include <windows.h>

#include <memory>
#include <utility>

namespace zumi {

FileContents readFileUpTo(const std::filesystem::path& path, std::uintmax_t maxSize)
{
    using State = FileContents::State;
    // Others may go on writing and replacing the file while it is read.
    const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        return {error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? State::Missing : State::Unreadable, {}};
    }
    const std::unique_ptr<void, decltype(&::CloseHandle)> owner(file, ::CloseHandle);
    LARGE_INTEGER size{};
    if (::GetFileType(file) != FILE_TYPE_DISK || !::GetFileSizeEx(file, &size) || size.QuadPart < 0)
        return {State::Unreadable, {}};
    if (static_cast<std::uintmax_t>(size.QuadPart) > maxSize)
        return {State::TooLarge, {}};
    std::string text;
    text.reserve(static_cast<std::size_t>(size.QuadPart));
    // It may have grown since it was measured.
    char chunk[4096];
    for (;;) {
        DWORD got = 0;
        if (!::ReadFile(file, chunk, sizeof chunk, &got, nullptr))
            return {State::Unreadable, {}};
        if (got == 0)
            break;
        if (text.size() + got > maxSize)
            return {State::TooLarge, {}};
        text.append(chunk, got);
    }
    return {State::Read, std::move(text)};
}

} // namespace zumi
