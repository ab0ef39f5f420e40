#include "platform/user_files.h"

#include <windows.h>

namespace zumi {

// A new folder or file inherits the access list of its parent, which below the user's profile
// grants this user alone (and the system's administrators).
bool makePrivateFolders(const std::filesystem::path& folder)
{
    std::error_code ec;
    if (folder.empty() || std::filesystem::is_directory(folder, ec))
        return !folder.empty();
    if (folder.has_relative_path() && folder.parent_path() != folder)
        makePrivateFolders(folder.parent_path());
    return (::CreateDirectoryW(folder.c_str(), nullptr) || ::GetLastError() == ERROR_ALREADY_EXISTS)
        && std::filesystem::is_directory(folder, ec);
}

bool makePrivateFile(const std::filesystem::path& path)
{
    const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                                      nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return ::GetLastError() == ERROR_FILE_EXISTS;
    ::CloseHandle(file);
    return true;
}

} // namespace zumi
