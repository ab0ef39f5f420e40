#pragma once
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>
#include <string>

namespace zumi::test {

// A fresh folder under the temp folder, removed with its contents afterwards.
struct TempFolder {
    TempFolder()
        : path(std::filesystem::temp_directory_path() / ("zumi-test-" + std::to_string(std::random_device{}())))
    {
        if (!std::filesystem::create_directory(path)) // false for a name someone holds
            throw std::runtime_error("no fresh temp folder");
        std::filesystem::permissions(path, std::filesystem::perms::owner_all);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    std::filesystem::path path;
};

inline std::string readText(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// Makes the folders on the way.
inline void writeText(const std::filesystem::path& path, const std::string& text)
{
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

} // namespace zumi::test
