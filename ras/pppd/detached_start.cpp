#include "ras/pppd/detached_start.h"

#include <cerrno>
#include <csignal>
#include <ctime>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace zumi {
namespace {

constexpr std::size_t kErrorTextLimit = 4096;

void sendAll(int fd, const void* data, std::size_t size)
{
    while (::write(fd, data, size) < 0 && errno == EINTR) {}
}

struct Report {
    int startError = 0;
    int exited = 0;
    int waitStatus = 0;
};

// Runs in the forked child: only calls that are safe after fork in a
// threaded program.
[[noreturn]] void execDetached(const char* program, char* const* argv, int reportPipe, int devNull, int errorOut)
{
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    struct sigaction byDefault {};
    byDefault.sa_handler = SIG_DFL;
    for (int signal = 1; signal < NSIG; ++signal)
        sigaction(signal, &byDefault, nullptr);
    // Its stderr is a pipe nobody reads once the wait is over: writing to it
    // must fail, not kill the dialer.
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGPIPE, &ignore, nullptr);
    if (devNull >= 0) {
        dup2(devNull, STDIN_FILENO);
        dup2(devNull, STDOUT_FILENO);
    }
    if (errorOut >= 0)
        dup2(errorOut, STDERR_FILENO);
    execv(program, argv);
    const Report report{errno, 0, 0};
    sendAll(reportPipe, &report, sizeof report);
    _exit(127);
}

// In the middle process: waits for the dialer until the deadline, polling,
// as waitpid() has no time limit of its own.
[[noreturn]] void watch(pid_t dialer, int reportPipe, std::chrono::milliseconds earlyExit)
{
    constexpr long kStepNs = 5'000'000;
    long left = static_cast<long>(earlyExit.count()) * 1'000'000;
    for (;;) {
        int status = 0;
        const pid_t done = ::waitpid(dialer, &status, WNOHANG);
        if (done == dialer) {
            const Report report{0, 1, status};
            sendAll(reportPipe, &report, sizeof report);
            _exit(0);
        }
        if ((done < 0 && errno != EINTR) || left <= 0)
            _exit(0); // still running: init adopts it
        const timespec step{0, kStepNs};
        ::nanosleep(&step, nullptr);
        left -= kStepNs;
    }
}

} // namespace

StartOutcome startDetached(const std::string& program, const std::vector<std::string>& args,
                           std::chrono::milliseconds earlyExit)
{
    StartOutcome outcome;
    if (args.empty()) {
        outcome.startError = EINVAL;
        return outcome;
    }
    std::vector<char*> argv;
    argv.reserve(args.size() + 1);
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);

    // The report pipe carries an exec failure or the early end; it reads
    // empty when the program still runs. The error pipe is the program's stderr.
    int reportPipe[2];
    int errorPipe[2];
    if (::pipe2(reportPipe, O_CLOEXEC) != 0) {
        outcome.startError = errno;
        return outcome;
    }
    if (::pipe2(errorPipe, O_CLOEXEC) != 0) {
        outcome.startError = errno;
        ::close(reportPipe[0]);
        ::close(reportPipe[1]);
        return outcome;
    }
    const int devNull = ::open("/dev/null", O_RDWR | O_CLOEXEC);
    const auto closeAll = [&] {
        for (const int fd : {reportPipe[0], reportPipe[1], errorPipe[0], errorPipe[1], devNull})
            if (fd >= 0)
                ::close(fd);
    };

    const pid_t child = ::fork();
    if (child < 0) {
        outcome.startError = errno;
        closeAll();
        return outcome;
    }
    if (child == 0) {
        // A session of its own, and a grandchild that init adopts, so the
        // dialer neither dies with this program's terminal nor stays a zombie.
        ::setsid();
        const pid_t grandchild = ::fork();
        if (grandchild < 0) {
            const Report report{errno, 0, 0};
            sendAll(reportPipe[1], &report, sizeof report);
            _exit(1);
        }
        if (grandchild == 0)
            execDetached(program.c_str(), argv.data(), reportPipe[1], devNull, errorPipe[1]);
        ::close(errorPipe[1]);
        watch(grandchild, reportPipe[1], earlyExit);
    }

    ::close(reportPipe[1]);
    ::close(errorPipe[1]);
    if (devNull >= 0)
        ::close(devNull);
    while (::waitpid(child, nullptr, 0) < 0 && errno == EINTR) {}
    Report report;
    ssize_t n;
    while ((n = ::read(reportPipe[0], &report, sizeof report)) < 0 && errno == EINTR) {}
    ::close(reportPipe[0]);
    if (n == static_cast<ssize_t>(sizeof report)) {
        outcome.startError = report.startError;
        outcome.exited = report.exited != 0;
        outcome.waitStatus = report.waitStatus;
    }
    if (outcome.exited) {
        // What it wrote before it ended is in the pipe; a child it left
        // running may hold the pipe open, so read only what is there.
        ::fcntl(errorPipe[0], F_SETFL, O_NONBLOCK);
        std::string text;
        char buffer[512];
        while (text.size() < kErrorTextLimit && text.find('\n') == std::string::npos) {
            const ssize_t got = ::read(errorPipe[0], buffer, sizeof buffer);
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
                break;
            text.append(buffer, static_cast<std::size_t>(got));
        }
        outcome.firstErrorLine = text.substr(0, text.find('\n'));
        if (outcome.firstErrorLine.size() > 0 && outcome.firstErrorLine.back() == '\r')
            outcome.firstErrorLine.pop_back();
    }
    ::close(errorPipe[0]);
    return outcome;
}

} // namespace zumi
