// A stand-in for pppd on machines without PPP support: it looks to the system
// exactly like a running pppd with its link up, and moves traffic on demand.
//
// Start it as  exec -a /usr/sbin/pppd fake_pppd call NAME [unit N]
// so that /proc/PID/cmdline reads "/usr/sbin/pppd call NAME ...". It names
// itself pppd, creates the tun interface pppN (the first free one without
// "unit"), gives it the link type and addresses of a ppp link, brings it up,
// writes ROOT/run/pppN.pid (ROOT from $ZUMI_STAND_IN_ROOT, else "/") and
// prints "ready pppN". Commands on stdin, one per line:
//   rx BYTES    packets from the peer        -> "done rx BYTES"
//   tx BYTES    packets to the peer          -> "done tx BYTES"
//   rate BPS    steady received traffic, 0 stops -> "done rate BPS"
// SIGTERM: prints "sigterm", removes the pid file and exits 0; the interface
// goes with the tun descriptor. End of stdin does the same without the line.

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <linux/if.h>
#include <linux/if_tun.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <string>
#include <sys/ioctl.h>
#include <sys/prctl.h>
#include <sys/signalfd.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr unsigned short kArphrdPpp = 512;
constexpr const char* kLocal = "10.64.64.1";
constexpr const char* kPeer = "10.64.64.2";
constexpr std::size_t kPacket = 1500;
constexpr std::size_t kIpUdpHeaders = 28;
constexpr auto kRateTick = std::chrono::milliseconds(100);

[[noreturn]] void fail(const std::string& what)
{
    std::fprintf(stderr, "fake_pppd: %s: %s\n", what.c_str(), std::strerror(errno));
    std::exit(2);
}

void say(const std::string& line)
{
    const std::string text = line + "\n";
    if (::write(STDOUT_FILENO, text.data(), text.size()) < 0) {
        // Nobody listens any more; the commands on stdin decide what happens.
    }
}

struct Link {
    int tun = -1;
    int udp = -1;
    std::string name;
    std::string pidFile;
};

sockaddr_in address(const char* text)
{
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    ::inet_pton(AF_INET, text, &sa.sin_addr);
    return sa;
}

void setAddress(int socket, const std::string& name, unsigned long request, const char* text)
{
    ifreq ifr{};
    std::strncpy(ifr.ifr_name, name.c_str(), IFNAMSIZ - 1);
    const sockaddr_in sa = address(text);
    std::memcpy(&ifr.ifr_addr, &sa, sizeof sa);
    if (::ioctl(socket, request, &ifr) != 0)
        fail("setting an address of " + name);
}

Link bringUp(int unit, const std::string& root)
{
    Link link;
    link.tun = ::open("/dev/net/tun", O_RDWR | O_CLOEXEC);
    if (link.tun < 0)
        fail("/dev/net/tun");
    ifreq ifr{};
    ifr.ifr_flags = IFF_TUN | IFF_NO_PI;
    // "ppp%d" lets the kernel pick the first free unit, without races.
    const std::string wanted = unit >= 0 ? "ppp" + std::to_string(unit) : "ppp%d";
    std::strncpy(ifr.ifr_name, wanted.c_str(), IFNAMSIZ - 1);
    if (::ioctl(link.tun, TUNSETIFF, &ifr) != 0)
        fail("creating " + wanted);
    link.name = ifr.ifr_name;
    if (::ioctl(link.tun, TUNSETLINK, static_cast<unsigned long>(kArphrdPpp)) != 0)
        fail("setting the link type of " + link.name);

    const int control = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (control < 0)
        fail("socket");
    // As "ip addr add 10.64.64.1 peer 10.64.64.2 dev pppN; ip link set pppN up".
    setAddress(control, link.name, SIOCSIFADDR, kLocal);
    setAddress(control, link.name, SIOCSIFDSTADDR, kPeer);
    ifreq flags{};
    std::strncpy(flags.ifr_name, link.name.c_str(), IFNAMSIZ - 1);
    if (::ioctl(control, SIOCGIFFLAGS, &flags) != 0)
        fail("reading the flags of " + link.name);
    flags.ifr_flags |= IFF_UP;
    if (::ioctl(control, SIOCSIFFLAGS, &flags) != 0)
        fail("bringing " + link.name + " up");
    ::close(control);
    ::fcntl(link.tun, F_SETFL, ::fcntl(link.tun, F_GETFL) | O_NONBLOCK);

    // Packets to the peer leave through this link even when another stand-in
    // holds the same peer address.
    link.udp = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (link.udp < 0 || ::setsockopt(link.udp, SOL_SOCKET, SO_BINDTODEVICE, link.name.c_str(),
                                     static_cast<socklen_t>(link.name.size())) != 0)
        fail("binding a socket to " + link.name);

    link.pidFile = root + "/run/" + link.name + ".pid";
    const std::string temp = link.pidFile + ".new";
    const std::string contents = std::to_string(::getpid()) + "\n" + link.name + "\n";
    FILE* file = std::fopen(temp.c_str(), "w");
    if (!file || std::fputs(contents.c_str(), file) < 0 || std::fclose(file) != 0
        || std::rename(temp.c_str(), link.pidFile.c_str()) != 0)
        fail("writing " + link.pidFile);
    return link;
}

std::uint16_t checksum(const unsigned char* data, std::size_t size)
{
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i + 1 < size; i += 2)
        sum += static_cast<std::uint32_t>(data[i] << 8 | data[i + 1]);
    while (sum >> 16)
        sum = (sum & 0xFFFF) + (sum >> 16);
    return static_cast<std::uint16_t>(~sum);
}

// Received traffic: IPv4 packets from the peer written into the tun. Their
// header checksum is wrong on purpose: the tun counts them, then the IP layer
// drops them silently, so no reply muddles the sent count.
void receive(const Link& link, std::uint64_t bytes)
{
    unsigned char packet[kPacket] = {};
    const sockaddr_in from = address(kPeer), to = address(kLocal);
    while (bytes > 0) {
        const std::size_t size = bytes >= kPacket ? kPacket : std::max<std::size_t>(20, bytes);
        packet[0] = 0x45;
        packet[2] = static_cast<unsigned char>(size >> 8);
        packet[3] = static_cast<unsigned char>(size);
        packet[8] = 64;
        packet[9] = IPPROTO_UDP;
        packet[10] = packet[11] = 0;
        std::memcpy(packet + 12, &from.sin_addr, 4);
        std::memcpy(packet + 16, &to.sin_addr, 4);
        const std::uint16_t wrong = checksum(packet, 20) ^ 0x5555;
        packet[10] = static_cast<unsigned char>(wrong >> 8);
        packet[11] = static_cast<unsigned char>(wrong);
        if (::write(link.tun, packet, size) < 0 && errno != EAGAIN)
            fail("writing into " + link.name);
        bytes -= std::min<std::uint64_t>(bytes, size);
    }
}

// Reads what the kernel sent out of the link; the tun counts a packet as
// sent when it is read. Returns the bytes read.
std::uint64_t drain(const Link& link)
{
    std::uint64_t total = 0;
    unsigned char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(link.tun, buffer, sizeof buffer);
        if (n <= 0)
            return total;
        total += static_cast<std::uint64_t>(n);
    }
}

void send(const Link& link, std::uint64_t bytes)
{
    static const unsigned char payload[kPacket] = {};
    const sockaddr_in peer = [] {
        sockaddr_in sa = address(kPeer);
        sa.sin_port = htons(9); // discard
        return sa;
    }();
    std::uint64_t queued = 0, drained = 0;
    while (queued < bytes) {
        const std::uint64_t left = bytes - queued;
        const std::size_t size = left >= kPacket ? kPacket : std::max<std::size_t>(kIpUdpHeaders, left);
        if (::sendto(link.udp, payload, size - kIpUdpHeaders, 0, reinterpret_cast<const sockaddr*>(&peer),
                     sizeof peer) < 0)
            fail("sending over " + link.name);
        queued += size;
        drained += drain(link);
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (drained < queued && std::chrono::steady_clock::now() < deadline) {
        pollfd p{link.tun, POLLIN, 0};
        ::poll(&p, 1, 50);
        drained += drain(link);
    }
}

void finish(const Link& link, bool signalled)
{
    if (signalled)
        say("sigterm");
    ::unlink(link.pidFile.c_str());
    ::close(link.udp);
    ::close(link.tun);
    std::exit(0);
}

} // namespace

int main(int argc, char** argv)
{
    ::prctl(PR_SET_NAME, "pppd", 0, 0, 0);
    std::string name;
    int unit = -1;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "call") == 0)
            name = argv[++i];
        else if (std::strcmp(argv[i], "unit") == 0)
            unit = std::atoi(argv[++i]);
    }
    if (name.empty()) {
        std::fprintf(stderr, "usage: exec -a /usr/sbin/pppd fake_pppd call NAME [unit N]\n");
        return 2;
    }
    const char* rootVariable = std::getenv("ZUMI_STAND_IN_ROOT");
    const std::string root = rootVariable && *rootVariable ? rootVariable : "";

    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGTERM);
    sigprocmask(SIG_BLOCK, &signals, nullptr);
    const int signalFd = ::signalfd(-1, &signals, SFD_CLOEXEC);
    if (signalFd < 0)
        fail("signalfd");

    const Link link = bringUp(unit, root);
    say("ready " + link.name);

    std::string input;
    std::uint64_t rate = 0;
    auto nextTick = std::chrono::steady_clock::now();
    for (;;) {
        int timeout = -1;
        if (rate > 0) {
            const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(nextTick - std::chrono::steady_clock::now());
            timeout = static_cast<int>(std::max<std::chrono::milliseconds::rep>(0, wait.count()));
        }
        pollfd fds[3] = {{STDIN_FILENO, POLLIN, 0}, {link.tun, POLLIN, 0}, {signalFd, POLLIN, 0}};
        if (::poll(fds, 3, timeout) < 0 && errno != EINTR)
            fail("poll");
        if (fds[2].revents & POLLIN)
            finish(link, true);
        if (fds[1].revents & POLLIN)
            drain(link);
        if (rate > 0 && std::chrono::steady_clock::now() >= nextTick) {
            receive(link, std::max<std::uint64_t>(1, rate / 10));
            nextTick += kRateTick;
        }
        if (fds[0].revents & (POLLIN | POLLHUP)) {
            char buffer[512];
            const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
            if (n <= 0)
                finish(link, false);
            input.append(buffer, static_cast<std::size_t>(n));
            for (std::size_t end; (end = input.find('\n')) != std::string::npos;) {
                const std::string line = input.substr(0, end);
                input.erase(0, end + 1);
                const auto blank = line.find(' ');
                const std::string command = line.substr(0, blank);
                const std::uint64_t value = blank == std::string::npos ? 0 : std::strtoull(line.c_str() + blank + 1, nullptr, 10);
                if (command == "rx")
                    receive(link, value);
                else if (command == "tx")
                    send(link, value);
                else if (command == "rate") {
                    rate = value;
                    nextTick = std::chrono::steady_clock::now();
                } else {
                    say("error unknown command: " + line);
                    continue;
                }
                say("done " + line);
            }
        }
    }
}
