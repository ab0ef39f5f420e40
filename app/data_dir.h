#pragma once
#include <filesystem>

namespace zumi {

// The folder of the program's own files (sounds/…): beside the binary in the
// build tree, else the installed share folder relative to the binary.
std::filesystem::path findDataDir(const std::filesystem::path& binaryDir);

} // namespace zumi
