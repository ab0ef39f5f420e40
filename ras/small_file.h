#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace zumi {

// Reads a small file whole (proc, sysfs and pid files), at most limit bytes;
// nullopt when it cannot be opened or read. Never blocks on a pipe.
std::optional<std::string> readSmallFile(const std::string& path, std::size_t limit = 64 * 1024);

// The names in a folder, without "." and ".."; nullopt when it cannot be read.
std::optional<std::vector<std::string>> listFolder(const std::string& path);

} // namespace zumi
