#pragma once
#include <filesystem>

namespace zumi {

// Creates the missing folders on the way to `folder` for this user alone
// (0700), as the base directory rules ask; existing ones keep their mode.
// False when `folder` is not a folder afterwards.
bool makePrivateFolders(const std::filesystem::path& folder);

// Creates an empty file readable and writable by this user alone (0600)
// unless the name exists. False when it neither existed nor could be made.
bool makePrivateFile(const std::filesystem::path& path);

} // namespace zumi
