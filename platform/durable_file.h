#pragma once
#include <filesystem>
#include <string_view>

namespace zumi {

// Replaces the file's contents so that a crash leaves either the old file or
// the new one, never a mix. Creates missing parent folders.
bool writeFileAtomically(const std::filesystem::path& path, std::string_view contents);

} // namespace zumi
