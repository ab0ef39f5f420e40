#pragma once
#include "ras/pppd/small_file.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace zumi::pppd {

struct PppdProcess {
    std::int32_t pid = 0;
    std::string comm;
    std::uint64_t startTime = 0; // clock ticks after boot
    std::vector<std::string> args;
};

// Finds the running pppd processes in a /proc once a second at a cost that
// follows the processes started since the last scan, not all processes:
// - the pids the kernel handed out since (the last pid in /proc/loadavg) are
//   read directly, without listing /proc;
// - a process is read at every scan while it is young, as it may still exec
//   pppd under its pid (pon does), and so is every pppd;
// - an older process is read again when a new child of it appears, for a
//   late exec of pppd (a pppd starts children: its chat, its scripts, itself
//   in the background), and, as a last resort, one every minute or so in turn;
// - /proc is listed in full at the first scan, when the pid counter wrapped
//   or cannot be read, now and then as a safety net, and, with every process
//   read again, when the set of network interfaces (looked at every few
//   seconds) changed: pppd creates its interface before the link is up.
// Threads and, past their start, kernel threads are never looked at again.
class ProcessScan {
public:
    ProcessScan(std::string proc, std::string netFolder);

    // The pppds; nullopt when /proc cannot be listed.
    std::optional<std::vector<PppdProcess>> scan();

    // The last scan's view of a pid it found to be a pppd; nullptr otherwise.
    const PppdProcess* knownPppd(std::int32_t pid) const;

private:
    enum class Kind : std::uint8_t { Young, Old, Pppd, KernelThread };
    struct Known {
        std::uint64_t firstScan = 0;
        std::uint64_t lastSeen = 0; // the last scan that listed or read it
        std::uint64_t lastRead = 0;
        Kind kind = Kind::Young;
        PppdProcess process; // as read last; the arguments of a pppd only
    };

    // Reads one process and files it for the next scan; a fresh one is a
    // new process even where the pid was known (the pid was handed out again).
    void visit(std::int32_t pid, bool fresh, std::vector<PppdProcess>& found);
    bool listAll(bool readAll, std::vector<PppdProcess>& found);
    void visitInTurn(std::vector<PppdProcess>& found);

    std::string proc_;
    std::string netFolder_;
    HeldFiles held_{16};                    // /proc/loadavg and the stat lines read at every scan
    std::map<std::int32_t, Known> known_;   // by pid, so older ones are read in turn
    std::vector<std::int32_t> watched_;     // read at every scan: young ones and pppds
    std::vector<std::int32_t> nextWatched_; // being gathered for the next scan
    std::int32_t turnCursor_ = 0;           // the older process read in turn last
    std::vector<std::string> interfaces_;
    std::optional<std::uint64_t> lastPid_; // as the last scan found it in /proc/loadavg
    std::uint64_t scan_ = 0;
};

} // namespace zumi::pppd
