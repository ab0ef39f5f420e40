#include "detached_start.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace zumi {
namespace {

void report(int fd, int error)
{
    while (::write(fd, &error, sizeof error) < 0 && errno == EINTR) {
    }
}

// Runs in the forked child: only calls that are safe after fork in a
// threaded program.
[[noreturn]] void execDetached(const char* program, char* const* argv, int errorPipe, int devNull)
{
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    struct sigaction byDefault {};
    byDefault.sa_handler = SIG_DFL;
    for (int signal = 1; signal < NSIG; ++signal)
        sigaction(signal, &byDefault, nullptr);
    if (devNull >= 0)
        dup2(devNull, STDIN_FILENO);
    execv(program, argv);
    report(errorPipe, errno);
    _exit(127);
}

} // namespace

int startDetached(const std::string& program, const std::vector<std::string>& args)
{
    if (args.empty())
        return EINVAL;
    std::vector<char*> argv;
    argv.reserve(args.size() + 1);
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);

    // The write end closes on a successful exec, so an empty read means the
    // program runs; otherwise the child sends the error number.
    int errorPipe[2];
    if (::pipe2(errorPipe, O_CLOEXEC) != 0)
        return errno;
    const int devNull = ::open("/dev/null", O_RDWR | O_CLOEXEC);

    const pid_t child = ::fork();
    if (child < 0) {
        const int error = errno;
        ::close(errorPipe[0]);
        ::close(errorPipe[1]);
        if (devNull >= 0)
            ::close(devNull);
        return error;
    }
    if (child == 0) {
        // A session of its own, and a grandchild that init adopts, so the
        // dialer neither dies with this program's terminal nor stays a zombie.
        ::setsid();
        const pid_t grandchild = ::fork();
        if (grandchild < 0) {
            report(errorPipe[1], errno);
            _exit(1);
        }
        if (grandchild > 0)
            _exit(0);
        execDetached(program.c_str(), argv.data(), errorPipe[1], devNull);
    }

    ::close(errorPipe[1]);
    if (devNull >= 0)
        ::close(devNull);
    while (::waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
    }
    int error = 0;
    ssize_t n;
    while ((n = ::read(errorPipe[0], &error, sizeof error)) < 0 && errno == EINTR) {
    }
    ::close(errorPipe[0]);
    return n == static_cast<ssize_t>(sizeof error) ? error : 0;
}

} // namespace zumi
