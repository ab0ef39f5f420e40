#pragma once
#include <filesystem>
#include <string_view>

namespace zumi {

// Replaces the file's contents so that a crash leaves either the old file or
// the new one, never a mix, and no temporary file (but for the instant of the
// swap; removeStaleTemporaryFiles takes those). Creates missing parent
// folders for this user alone. A new file is the user's alone (0600); an
// existing file keeps its mode; one without write permission for its owner
// was made read-only on purpose and is not replaced (false).
bool writeFileAtomically(const std::filesystem::path& path, std::string_view contents);

// Removes what an interrupted writeFileAtomically of this path left behind.
void removeStaleTemporaryFiles(const std::filesystem::path& path);

} // namespace zumi
