#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zumi::pppd {

// What a process's stat line tells: its name, run state and start time.
struct ProcStat {
    std::string comm;
    char state = '?';
    std::int32_t parent = 0;     // the parent's pid
    std::uint64_t flags = 0;     // the kernel's PF_* flags; 0 when unreadable
    std::uint64_t startTime = 0; // clock ticks after boot
    // A thread other than its process's first: its exit signal reads -1.
    // A thread id is never listed in /proc but can be read there.
    bool thread = false;

    // A kernel thread, which never runs a program of its own (PF_KTHREAD).
    bool kernelThread() const { return (flags & 0x00200000u) != 0; }
    // A zombie or a dead task: a pppd on its way out is no connection any more.
    bool exiting() const { return state == 'Z' || state == 'X' || state == 'x'; }
};

// Parses /proc/PID/stat; nullopt for anything that is not a complete line.
std::optional<ProcStat> parseProcStat(std::string_view text);
// The same of a file that may not have been readable.
std::optional<ProcStat> parseProcStat(const std::optional<std::string>& text);

// The NUL-separated argument vector of /proc/PID/cmdline.
std::vector<std::string> splitCmdline(std::string_view text);

// A pppd process: its kernel name, or the base name of its argv[0], is pppd.
bool isPppdProcess(std::string_view comm, const std::vector<std::string>& args);

// The value that follows an option word ("call", "linkname"); "" when absent.
std::string optionValue(const std::vector<std::string>& args, std::string_view option);

// A pppd that NetworkManager started: it carries NetworkManager's plugin and
// dials no peers entry.
bool startedByNetworkManager(const std::vector<std::string>& args);

// A decimal number filling the whole text but for surrounding white space.
std::optional<std::uint64_t> parseDecimal(std::string_view text);

// The pid the kernel handed out last: the fifth field of /proc/loadavg.
std::optional<std::uint64_t> lastPidFromLoadavg(std::string_view text);

// The lines of a pid file: first the pid, then (for link pid files) the interface.
struct PidFile {
    std::int32_t pid = 0;
    std::string interfaceName; // "" when the file names none
};
std::optional<PidFile> parsePidFile(std::string_view text);

// A name that is one path element, so it cannot lead out of its folder.
bool isPlainFileName(std::string_view name);

// A peers file name that is a phonebook entry: not hidden, not an editor
// or package-manager leftover.
bool isPhonebookFileName(std::string_view name);

// The first line of a file, without its line end.
std::string_view firstLine(std::string_view text);

} // namespace zumi::pppd
