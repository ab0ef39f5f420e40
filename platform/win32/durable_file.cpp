#include "platform/durable_file.h"

#include "platform/user_files.h"

#include <windows.h>

#include <random>
#include <string>

namespace zumi {
namespace {

constexpr std::wstring_view kTempSuffix = L".zumi-tmp";
constexpr std::size_t kRandomLetters = 6;

// "Zumi.conf.<6 random letters>.zumi-tmp" beside the file.
std::wstring tempPrefix(const std::filesystem::path& path)
{
    return path.filename().wstring() + L".";
}

std::filesystem::path tempName(const std::filesystem::path& folder, const std::filesystem::path& path)
{
    static constexpr wchar_t kLetters[] = L"abcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device random;
    std::wstring name = tempPrefix(path);
    for (std::size_t i = 0; i < kRandomLetters; ++i)
        name += kLetters[random() % (sizeof kLetters / sizeof *kLetters - 1)];
    return folder / (name + std::wstring(kTempSuffix));
}

bool writeAll(HANDLE file, std::string_view data)
{
    while (!data.empty()) {
        DWORD written = 0;
        const DWORD chunk = data.size() > 0x40000000 ? 0x40000000 : static_cast<DWORD>(data.size());
        if (!::WriteFile(file, data.data(), chunk, &written, nullptr) || written == 0)
            return false;
        data.remove_prefix(written);
    }
    return true;
}

} // namespace

bool writeFileAtomically(const std::filesystem::path& path, std::string_view contents)
{
    const auto folder = path.parent_path().empty() ? std::filesystem::path(L".") : path.parent_path();
    makePrivateFolders(folder);

    // A file the user made read-only stays as it is.
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
        ::SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }

    const std::filesystem::path temp = tempName(folder, path);
    const HANDLE file = ::CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                                      nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    bool ok = writeAll(file, contents) && ::FlushFileBuffers(file);
    ok = ::CloseHandle(file) && ok;
    if (!ok || !::MoveFileExW(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const DWORD error = ::GetLastError();
        ::DeleteFileW(temp.c_str());
        ::SetLastError(error);
        return false;
    }
    return true;
}

void removeStaleTemporaryFiles(const std::filesystem::path& path)
{
    const auto folder = path.parent_path().empty() ? std::filesystem::path(L".") : path.parent_path();
    const std::wstring prefix = tempPrefix(path);
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::wstring name = it->path().filename().wstring();
        if (name.size() == prefix.size() + kRandomLetters + kTempSuffix.size() && name.starts_with(prefix)
            && name.ends_with(kTempSuffix) && it->is_regular_file(ec))
            std::filesystem::remove(it->path(), ec);
    }
}

} // namespace zumi
