#pragma once
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace zumi::test {

// A throw-away file-system root laid out like the parts of a Linux system the
// pppd backend reads: proc, run, sys/class/net, etc/ppp/peers, usr/bin.
class FakeTree {
public:
    FakeTree();
    ~FakeTree();
    FakeTree(const FakeTree&) = delete;
    FakeTree& operator=(const FakeTree&) = delete;

    const std::filesystem::path& root() const { return root_; }

    // Writes a file below the root, creating its folders.
    void write(const std::string& relative, const std::string& contents) const;
    void remove(const std::string& relative) const;

    // A process as /proc shows it: comm, stat (state, start time) and cmdline.
    void addProcess(std::int32_t pid, const std::string& comm, std::vector<std::string> args,
                    std::uint64_t startTime = 1000, char state = 'S') const;
    // A pppd started as "pppd call NAME", as pon starts it.
    void addPppd(std::int32_t pid, const std::string& callName, std::uint64_t startTime = 1000) const;
    void removeProcess(std::int32_t pid) const;

    // An interface in sys/class/net, up or down, with its byte counters.
    void addInterface(const std::string& name, bool up, const std::string& txBytes = "0",
                      const std::string& rxBytes = "0") const;
    // The pid file pppd writes once its link is up.
    void addPidFile(const std::string& interfaceName, std::int32_t pid) const;

    void addPeer(const std::string& name) const;

private:
    std::filesystem::path root_;
};

} // namespace zumi::test
