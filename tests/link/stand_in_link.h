#pragma once
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace zumi::test {

// A stand-in pppd (fake_pppd) as the backend sees a real one: a pppd "call NAME",
// an up tun pppN of link type ppp, /run/pppN.pid. Needs root and /dev/net/tun.
class StandInLink {
public:
    // Whether stand-ins can run here; whyNot() says why not, for GTEST_SKIP.
    static bool canRun() { return whyNot().empty(); }
    static std::string whyNot();

    // Starts a stand-in for the peers entry name and waits until its link is up.
    static std::optional<StandInLink> start(const std::string& name);

    // Steady received traffic in bytes per second; 0 stops it.
    bool rate(std::uint64_t bytesPerSecond) { return command("rate " + std::to_string(bytesPerSecond)); }

    // Ends it as poff would and reaps it; true when it went cleanly.
    bool stop();

private:
    // Killed and reaped, if it still runs, when its owner goes.
    struct Process {
        ~Process();
        std::int32_t pid = -1;
        int channel = -1; // its stdin and stdout
        bool exited = false;
        std::string interfaceName;
    };

    bool command(const std::string& line);
    std::optional<std::string> readLine(std::chrono::milliseconds timeout);

    std::unique_ptr<Process> process_ = std::make_unique<Process>();
};

} // namespace zumi::test
