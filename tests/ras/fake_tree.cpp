#include "fake_tree.h"

#include <cstdlib>
#include <fstream>
#include <stdexcept>

namespace zumi::test {

FakeTree::FakeTree()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "zumi-ras-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    root_ = pattern;
    for (const char* folder : {"proc", "run", "sys/class/net", "etc/ppp/peers"})
        std::filesystem::create_directories(root_ / folder);
}

FakeTree::~FakeTree()
{
    std::error_code error;
    std::filesystem::remove_all(root_, error);
}

void FakeTree::write(const std::string& relative, const std::string& contents) const
{
    const auto path = root_ / relative;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << contents;
}

void FakeTree::remove(const std::string& relative) const
{
    std::filesystem::remove_all(root_ / relative);
}

void FakeTree::addProcess(std::int32_t pid, const std::string& comm, std::vector<std::string> args,
                          std::uint64_t startTime, char state) const
{
    const std::string folder = "proc/" + std::to_string(pid) + "/";
    write(folder + "comm", comm + "\n");
    // Fields 4..21 (ppid .. itrealvalue), then 22 starttime and a few more.
    write(folder + "stat", std::to_string(pid) + " (" + comm + ") " + state
              + " 1 " + std::to_string(pid) + " " + std::to_string(pid)
              + " 0 -1 4194560 120 0 0 0 3 1 0 0 20 0 1 0 " + std::to_string(startTime)
              + " 2658304 387 18446744073709551615 1 1 0 0 0 0 0 4096 0 0 0 0 17 1 0 0 0 0 0\n");
    std::string cmdline;
    for (const std::string& arg : args) {
        cmdline += arg;
        cmdline.push_back('\0');
    }
    write(folder + "cmdline", cmdline);
}

void FakeTree::addPppd(std::int32_t pid, const std::string& callName, std::uint64_t startTime) const
{
    addProcess(pid, "pppd", {"/usr/sbin/pppd", "call", callName}, startTime);
}

void FakeTree::removeProcess(std::int32_t pid) const
{
    remove("proc/" + std::to_string(pid));
}

void FakeTree::addInterface(const std::string& name, bool up, const std::string& txBytes,
                            const std::string& rxBytes) const
{
    const std::string folder = "sys/class/net/" + name + "/";
    write(folder + "flags", up ? "0x10d1\n" : "0x1090\n");
    write(folder + "operstate", up ? "unknown\n" : "down\n");
    write(folder + "type", "512\n");
    write(folder + "statistics/tx_bytes", txBytes + "\n");
    write(folder + "statistics/rx_bytes", rxBytes + "\n");
}

void FakeTree::addPidFile(const std::string& interfaceName, std::int32_t pid) const
{
    write("run/" + interfaceName + ".pid", std::to_string(pid) + "\n");
}

void FakeTree::addPeer(const std::string& name) const
{
    write("etc/ppp/peers/" + name, "# peer\nnoauth\n");
}

} // namespace zumi::test
