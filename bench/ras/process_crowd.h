#pragma once
#include <sys/types.h>
#include <vector>

namespace zumi::bench {

// Sleeping child processes that bring the machine to about `total` processes,
// as on a busy desktop; they are killed and reaped on destruction, and die
// with this process should it end early.
class ProcessCrowd {
public:
    explicit ProcessCrowd(int total);
    ~ProcessCrowd();
    ProcessCrowd(const ProcessCrowd&) = delete;
    ProcessCrowd& operator=(const ProcessCrowd&) = delete;

    static int countProcesses();

private:
    std::vector<pid_t> children_;
};

} // namespace zumi::bench
