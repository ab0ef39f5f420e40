#pragma once
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace zumi::test {

// A running stand-in pppd (fake_pppd) with its link up, as the pppd backend
// sees a real one: a process named pppd whose command line is
// "/usr/sbin/pppd call NAME unit N", a tun interface pppN of link type ppp
// that is up, and /run/pppN.pid. Needs root and /dev/net/tun.
class StandInLink {
public:
    // Whether stand-ins can run here; whyNot() says why not, for GTEST_SKIP.
    static bool canRun();
    static std::string whyNot();

    // Starts a stand-in for the peers entry name on interface ppp<unit>
    // (unit < 0: the first free one) and waits until its link is up.
    static std::optional<StandInLink> start(const std::string& name, int unit = -1);

    StandInLink(StandInLink&& other) noexcept;
    StandInLink& operator=(StandInLink&& other) noexcept;
    StandInLink(const StandInLink&) = delete;
    StandInLink& operator=(const StandInLink&) = delete;
    ~StandInLink(); // stops it if it still runs, and reaps it

    std::int32_t pid() const { return pid_; }
    const std::string& interfaceName() const { return interfaceName_; }

    // Moves that many bytes over the link (received from / sent to the peer);
    // true once the interface counted them.
    bool rx(std::uint64_t bytes);
    bool tx(std::uint64_t bytes);
    // Steady received traffic in bytes per second; 0 stops it.
    bool rate(std::uint64_t bytesPerSecond);

    // Waits until the stand-in has exited and reaps it.
    bool waitForExit(std::chrono::milliseconds timeout);
    // It reported a SIGTERM (as a hang-up sends).
    bool gotSigterm();
    // Ends it as poff would and reaps it; true when it went cleanly.
    bool stop();

private:
    StandInLink() = default;
    bool command(const std::string& line);
    std::optional<std::string> readLine(std::chrono::milliseconds timeout);
    void release();

    std::int32_t pid_ = -1;
    int toStandIn_ = -1;
    int fromStandIn_ = -1;
    bool exited_ = false;
    bool sawSigterm_ = false;
    std::string interfaceName_;
    std::string buffered_;
};

} // namespace zumi::test
