#include "stand_in_link.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace zumi::test {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

std::string StandInLink::whyNot()
{
    if (::geteuid() != 0)
        return "needs root: the stand-in pppd creates a tun interface";
    const int fd = ::open("/dev/net/tun", O_RDWR | O_CLOEXEC);
    if (fd < 0)
        return "/dev/net/tun cannot be opened here";
    ::close(fd);
    return {};
}

std::optional<StandInLink> StandInLink::start(const std::string& name)
{
    int sockets[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, sockets) != 0)
        return std::nullopt;
    // argv[0] as "exec -a /usr/sbin/pppd" sets it, so /proc/PID/cmdline reads
    // like the command line pon gives pppd.
    const char* argv[] = {"/usr/sbin/pppd", "call", name.c_str(), nullptr};

    StandInLink link;
    link.process_->channel = sockets[0];
    link.process_->pid = ::fork();
    if (link.process_->pid == 0) {
        ::dup2(sockets[1], STDIN_FILENO);
        ::dup2(sockets[1], STDOUT_FILENO);
        ::execv(ZUMI_FAKE_PPPD, const_cast<char* const*>(argv));
        _exit(127);
    }
    ::close(sockets[1]);
    const auto line = link.readLine(10s);
    if (link.process_->pid < 0 || !line || !line->starts_with("ready "))
        return std::nullopt; // the Process reaps what is left
    link.process_->interfaceName = line->substr(6);
    return link;
}

StandInLink::Process::~Process()
{
    if (pid > 0 && !exited) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
        // Killed outright, it could not remove its pid file.
        ::unlink(("/run/" + interfaceName + ".pid").c_str());
    }
    ::close(channel);
}

bool StandInLink::command(const std::string& line)
{
    const std::string text = line + "\n";
    if (process_->exited
        || ::send(process_->channel, text.data(), text.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(text.size()))
        return false;
    auto reply = readLine(10s);
    while (reply && *reply != "done " + line)
        reply = readLine(10s);
    return reply.has_value();
}

// Byte by byte: the stand-in writes each line whole, and nothing is read ahead.
std::optional<std::string> StandInLink::readLine(std::chrono::milliseconds timeout)
{
    const auto deadline = Clock::now() + timeout;
    std::string line;
    for (char c = 0; c != '\n'; line += c) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        pollfd p{process_->channel, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(std::max(left, 0L))) <= 0 || ::read(process_->channel, &c, 1) != 1)
            return std::nullopt;
    }
    line.pop_back();
    return line;
}

bool StandInLink::stop()
{
    if (!process_->exited)
        ::kill(process_->pid, SIGTERM);
    for (const auto deadline = Clock::now() + 5s; !process_->exited; std::this_thread::sleep_for(10ms)) {
        const pid_t done = ::waitpid(process_->pid, nullptr, WNOHANG);
        process_->exited = done == process_->pid || (done < 0 && errno != EINTR);
        if (!process_->exited && Clock::now() >= deadline)
            return false;
    }
    return true;
}

} // namespace zumi::test
