#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zumi {

// Reads a small file whole (proc, sysfs and pid files), at most limit bytes;
// nullopt when it cannot be opened or read. Never blocks on a pipe.
std::optional<std::string> readSmallFile(const std::string& path, std::size_t limit = 64 * 1024);

// The names in a folder, without "." and ".."; nullopt when it cannot be read.
std::optional<std::vector<std::string>> listFolder(const std::string& path, int* error = nullptr);

// Small files read once a second - a link's counters, a pppd's stat line, a
// pid file - kept open between reads, since opening (walking the path) costs
// more than the read. Each read gives what the path names now, as
// readSmallFile would: a kernel file (proc, sysfs) stops reading once its
// process or device is gone, and any other file is looked up again once it
// has been removed or replaced; either is then opened afresh by its path.
// The files read least recently are closed beyond the capacity.
class HeldFiles {
public:
    explicit HeldFiles(std::size_t capacity = 8)
        : capacity_(capacity)
    {
    }
    ~HeldFiles();
    HeldFiles(const HeldFiles&) = delete;
    HeldFiles& operator=(const HeldFiles&) = delete;

    std::optional<std::string> read(const std::string& path, std::size_t limit = 4096);

private:
    struct File {
        std::string path;
        int fd = -1;
        bool kernel = false; // proc or sysfs
        std::uint64_t lastUse = 0;
    };
    std::optional<std::string> readHeld(File& file, std::size_t limit) const;
    void drop(std::size_t index);

    std::size_t capacity_;
    std::vector<File> files_;
    std::uint64_t uses_ = 0;
};

} // namespace zumi
