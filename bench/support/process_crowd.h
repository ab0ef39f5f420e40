#pragma once
#include <cstdint>
#include <vector>

namespace zumi::bench {

// Sleeping child processes that bring the machine to a given process count,
// so a scan of all processes costs what it costs on a busy desktop.
class ProcessCrowd {
public:
    explicit ProcessCrowd(int totalProcesses);
    ~ProcessCrowd();
    ProcessCrowd(const ProcessCrowd&) = delete;
    ProcessCrowd& operator=(const ProcessCrowd&) = delete;

    static int countProcesses();
    // A sleeping child of its own; 0 when it cannot be started.
    static std::int32_t spawnSleeper(const char* seconds);
    int spawned() const { return static_cast<int>(children_.size()); }

private:
    std::vector<std::int32_t> children_;
};

} // namespace zumi::bench
