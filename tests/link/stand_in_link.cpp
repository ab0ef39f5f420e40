#include "stand_in_link.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

namespace zumi::test {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr const char* kFakePppd = ZUMI_FAKE_PPPD;

void closeFd(int& fd)
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

} // namespace

bool StandInLink::canRun()
{
    return whyNot().empty();
}

std::string StandInLink::whyNot()
{
    if (::geteuid() != 0)
        return "needs root: the stand-in pppd creates a tun interface";
    const int fd = ::open("/dev/net/tun", O_RDWR | O_CLOEXEC);
    if (fd < 0)
        return "/dev/net/tun cannot be opened here";
    ::close(fd);
    if (::access(kFakePppd, X_OK) != 0)
        return std::string("the stand-in pppd is not built: ") + kFakePppd;
    return {};
}

std::optional<StandInLink> StandInLink::start(const std::string& name, int unit)
{
    int toChild[2], fromChild[2];
    if (::pipe2(toChild, O_CLOEXEC) != 0)
        return std::nullopt;
    if (::pipe2(fromChild, O_CLOEXEC) != 0) {
        ::close(toChild[0]);
        ::close(toChild[1]);
        return std::nullopt;
    }
    // argv[0] as "exec -a /usr/sbin/pppd" sets it: /proc/PID/cmdline then
    // reads like the command line pon gives pppd.
    std::vector<std::string> args{"/usr/sbin/pppd", "call", name};
    if (unit >= 0) {
        args.push_back("unit");
        args.push_back(std::to_string(unit));
    }
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);

    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(toChild[0], STDIN_FILENO);
        ::dup2(fromChild[1], STDOUT_FILENO);
        ::execv(kFakePppd, argv.data());
        _exit(127);
    }
    ::close(toChild[0]);
    ::close(fromChild[1]);
    StandInLink link;
    link.toStandIn_ = toChild[1];
    link.fromStandIn_ = fromChild[0];
    if (child < 0)
        return std::nullopt;
    link.pid_ = child;

    const auto line = link.readLine(10s);
    const std::string ready = "ready ";
    if (!line || line->rfind(ready, 0) != 0)
        return std::nullopt; // the destructor reaps what is left
    link.interfaceName_ = line->substr(ready.size());
    return link;
}

StandInLink::StandInLink(StandInLink&& other) noexcept
    : pid_(std::exchange(other.pid_, -1))
    , toStandIn_(std::exchange(other.toStandIn_, -1))
    , fromStandIn_(std::exchange(other.fromStandIn_, -1))
    , exited_(other.exited_)
    , sawSigterm_(other.sawSigterm_)
    , interfaceName_(std::move(other.interfaceName_))
    , buffered_(std::move(other.buffered_))
{
}

StandInLink& StandInLink::operator=(StandInLink&& other) noexcept
{
    if (this != &other) {
        release();
        pid_ = std::exchange(other.pid_, -1);
        toStandIn_ = std::exchange(other.toStandIn_, -1);
        fromStandIn_ = std::exchange(other.fromStandIn_, -1);
        exited_ = other.exited_;
        sawSigterm_ = other.sawSigterm_;
        interfaceName_ = std::move(other.interfaceName_);
        buffered_ = std::move(other.buffered_);
    }
    return *this;
}

StandInLink::~StandInLink()
{
    release();
}

void StandInLink::release()
{
    if (pid_ > 0 && !exited_ && !stop()) {
        ::kill(pid_, SIGKILL);
        while (::waitpid(pid_, nullptr, 0) < 0 && errno == EINTR) {
        }
        // Killed outright, it could not remove its pid file.
        if (!interfaceName_.empty())
            ::unlink(("/run/" + interfaceName_ + ".pid").c_str());
    }
    pid_ = -1;
    closeFd(toStandIn_);
    closeFd(fromStandIn_);
}

bool StandInLink::rx(std::uint64_t bytes)
{
    return command("rx " + std::to_string(bytes));
}

bool StandInLink::tx(std::uint64_t bytes)
{
    return command("tx " + std::to_string(bytes));
}

bool StandInLink::rate(std::uint64_t bytesPerSecond)
{
    return command("rate " + std::to_string(bytesPerSecond));
}

bool StandInLink::command(const std::string& line)
{
    if (toStandIn_ < 0 || exited_)
        return false;
    const std::string text = line + "\n";
    if (::write(toStandIn_, text.data(), text.size()) != static_cast<ssize_t>(text.size()))
        return false;
    const auto deadline = Clock::now() + 10s;
    while (Clock::now() < deadline) {
        const auto reply = readLine(std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()));
        if (!reply)
            return false;
        if (*reply == "done " + line)
            return true;
    }
    return false;
}

std::optional<std::string> StandInLink::readLine(std::chrono::milliseconds timeout)
{
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        if (const auto end = buffered_.find('\n'); end != std::string::npos) {
            std::string line = buffered_.substr(0, end);
            buffered_.erase(0, end + 1);
            if (line == "sigterm")
                sawSigterm_ = true;
            return line;
        }
        if (fromStandIn_ < 0)
            return std::nullopt;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left < 0)
            return std::nullopt;
        pollfd p{fromStandIn_, POLLIN, 0};
        const int ready = ::poll(&p, 1, static_cast<int>(left));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return std::nullopt;
        char buffer[512];
        const ssize_t n = ::read(fromStandIn_, buffer, sizeof buffer);
        if (n <= 0) {
            closeFd(fromStandIn_); // it has exited
            continue;
        }
        buffered_.append(buffer, static_cast<std::size_t>(n));
    }
}

bool StandInLink::waitForExit(std::chrono::milliseconds timeout)
{
    if (pid_ <= 0)
        return false;
    const auto deadline = Clock::now() + timeout;
    while (!exited_) {
        const pid_t done = ::waitpid(pid_, nullptr, WNOHANG);
        if (done == pid_ || (done < 0 && errno != EINTR)) {
            exited_ = true;
            break;
        }
        if (Clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(10ms);
    }
    gotSigterm(); // keep what it said before it went
    return true;
}

bool StandInLink::gotSigterm()
{
    while (readLine(0ms)) {
    }
    return sawSigterm_;
}

bool StandInLink::stop()
{
    if (pid_ <= 0)
        return false;
    if (exited_)
        return true;
    ::kill(pid_, SIGTERM);
    return waitForExit(5s);
}

} // namespace zumi::test
