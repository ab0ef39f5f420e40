#include "process_crowd.h"

#include <cctype>
#include <csignal>
#include <filesystem>
#include <spawn.h>
#include <string>
#include <sys/wait.h>

extern char** environ;

namespace zumi::bench {

int ProcessCrowd::countProcesses()
{
    int count = 0;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator("/proc", ec)) {
        const std::string name = entry.path().filename().string();
        if (!name.empty() && std::isdigit(static_cast<unsigned char>(name[0])))
            ++count;
    }
    return count;
}

std::int32_t ProcessCrowd::spawnSleeper(const char* seconds)
{
    std::string time = seconds;
    char sleep[] = "sleep";
    char* argv[] = {sleep, time.data(), nullptr};
    pid_t pid = 0;
    return posix_spawnp(&pid, "sleep", nullptr, nullptr, argv, environ) == 0 ? pid : 0;
}

ProcessCrowd::ProcessCrowd(int totalProcesses)
{
    for (int missing = totalProcesses - countProcesses(); missing > 0; --missing) {
        const std::int32_t pid = spawnSleeper("3600");
        if (pid == 0)
            break;
        children_.push_back(pid);
    }
}

ProcessCrowd::~ProcessCrowd()
{
    for (const auto pid : children_)
        ::kill(pid, SIGTERM);
    for (const auto pid : children_)
        ::waitpid(pid, nullptr, 0);
}

} // namespace zumi::bench
