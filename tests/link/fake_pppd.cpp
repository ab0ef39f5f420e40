// A stand-in for pppd on machines without PPP support, with its link up and
// traffic on demand. Start it as  exec -a /usr/sbin/pppd fake_pppd call NAME
// (or with "ipparam PATH" among ignored options, as NetworkManager starts pppd).
// It brings up the first free tun pppN with link type ppp, writes /run/pppN.pid
// and prints "ready pppN". Stdin "rate BPS" (steady traffic from the peer, 0 stops)
// is answered "done LINE". SIGTERM (printed "sigterm"), SIGINT, SIGHUP or the end
// of stdin remove the pid file and exit 0.

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <linux/if.h>
#include <linux/if_tun.h>
#include <poll.h>
#include <signal.h>
#include <string>
#include <sys/ioctl.h>
#include <sys/prctl.h>
#include <sys/signalfd.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int tun = -1;
std::string name;
std::string pidFile;

[[noreturn]] void fail(const std::string& what)
{
    std::fprintf(stderr, "fake_pppd: %s: %s\n", what.c_str(), std::strerror(errno));
    std::exit(2);
}

void bringUp()
{
    ifreq ifr{};
    ifr.ifr_flags = IFF_TUN | IFF_NO_PI;
    // "ppp%d" lets the kernel pick the first free unit, without races.
    std::strncpy(ifr.ifr_name, "ppp%d", IFNAMSIZ - 1);
    tun = ::open("/dev/net/tun", O_RDWR | O_CLOEXEC | O_NONBLOCK);
    // The link type can only change while the interface is down.
    if (tun < 0 || ::ioctl(tun, TUNSETIFF, &ifr) != 0 || ::ioctl(tun, TUNSETLINK, 512ul) != 0)
        fail("creating a tun");
    name = ifr.ifr_name;
    const int control = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    ifr.ifr_flags = IFF_UP | IFF_POINTOPOINT | IFF_NOARP | IFF_MULTICAST; // as a ppp link's
    if (control < 0 || ::ioctl(control, SIOCSIFFLAGS, &ifr) != 0)
        fail("bringing " + name + " up");
    ::close(control);

    // Written whole before it appears, as readers may look at any moment.
    pidFile = "/run/" + name + ".pid";
    FILE* file = std::fopen((pidFile + ".new").c_str(), "w");
    if (!file || std::fprintf(file, "%d\n%s\n", ::getpid(), name.c_str()) < 0 || std::fclose(file) != 0
        || std::rename((pidFile + ".new").c_str(), pidFile.c_str()) != 0)
        fail("writing " + pidFile);
}

// Packets from the peer, written into the tun: it counts them as received, and
// the IP layer drops them for their empty IPv4 header, so nothing answers.
void receive(std::uint64_t bytes)
{
    static const unsigned char packet[1500] = {0x45};
    for (std::uint64_t size; bytes > 0; bytes -= std::min(bytes, size)) {
        size = std::clamp<std::uint64_t>(bytes, 20, sizeof packet);
        if (::write(tun, packet, size) < 0)
            fail("writing into " + name);
    }
}

[[noreturn]] void finish(int signal)
{
    if (signal == SIGTERM)
        std::puts("sigterm");
    ::unlink(pidFile.c_str());
    std::exit(0);
}

} // namespace

int main()
{
    ::prctl(PR_SET_NAME, "pppd", 0, 0, 0);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    sigset_t signals;
    sigemptyset(&signals);
    for (const int s : {SIGTERM, SIGINT, SIGHUP})
        sigaddset(&signals, s);
    sigprocmask(SIG_BLOCK, &signals, nullptr);
    const int signalFd = ::signalfd(-1, &signals, SFD_CLOEXEC);

    bringUp();
    std::printf("ready %s\n", name.c_str());
    std::string input;
    std::uint64_t rate = 0;
    char buffer[65536];
    auto nextTick = std::chrono::steady_clock::now();
    for (;;) {
        pollfd fds[3] = {{STDIN_FILENO, POLLIN, 0}, {tun, POLLIN, 0}, {signalFd, POLLIN, 0}};
        ::poll(fds, 3, rate > 0 ? 10 : -1);
        if (signalfd_siginfo info{}; (fds[2].revents & POLLIN) && ::read(signalFd, &info, sizeof info) == sizeof info)
            finish(static_cast<int>(info.ssi_signo));
        // What the kernel sends out (router solicitations, say) is dropped.
        while (::read(tun, buffer, sizeof buffer) > 0) {}
        if (rate > 0 && std::chrono::steady_clock::now() >= nextTick) {
            receive(std::max<std::uint64_t>(1, rate / 10));
            nextTick += std::chrono::milliseconds(100);
        }
        if (fds[0].revents) {
            const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
            if (n <= 0)
                finish(0);
            input.append(buffer, static_cast<std::size_t>(n));
        }
        for (std::size_t end; (end = input.find('\n')) != std::string::npos; input.erase(0, end + 1)) {
            const std::string line = input.substr(0, end);
            if (!line.starts_with("rate ")) {
                std::printf("error unknown command: %s\n", line.c_str());
                continue;
            }
            rate = std::strtoull(line.c_str() + 5, nullptr, 10);
            nextTick = std::chrono::steady_clock::now();
            std::printf("done %s\n", line.c_str());
        }
    }
}
