#include "process_crowd.h"

#include <cctype>
#include <csignal>
#include <dirent.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace zumi::bench {

int ProcessCrowd::countProcesses()
{
    int count = 0;
    if (DIR* proc = ::opendir("/proc")) {
        while (const dirent* entry = ::readdir(proc))
            count += std::isdigit(static_cast<unsigned char>(entry->d_name[0])) ? 1 : 0;
        ::closedir(proc);
    }
    return count;
}

ProcessCrowd::ProcessCrowd(int total)
{
    const pid_t parent = ::getpid();
    for (int missing = total - countProcesses(); missing > 0; --missing) {
        const pid_t child = ::fork();
        if (child < 0)
            break;
        if (child == 0) {
            ::prctl(PR_SET_PDEATHSIG, SIGKILL);
            if (::getppid() != parent)
                _exit(0);
            for (;;)
                ::pause();
        }
        children_.push_back(child);
    }
}

ProcessCrowd::~ProcessCrowd()
{
    for (const pid_t child : children_)
        ::kill(child, SIGKILL);
    for (const pid_t child : children_)
        ::waitpid(child, nullptr, 0);
}

} // namespace zumi::bench
