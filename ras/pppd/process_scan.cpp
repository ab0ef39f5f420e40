#include "ras/pppd/process_scan.h"

#include "ras/pppd/pppd_text.h"

#include <algorithm>
#include <limits>

namespace zumi::pppd {
namespace {

// A process first seen fewer scans ago than this is read at every scan.
constexpr std::uint64_t kYoungScans = 4;
// One older process is read every so many scans, in turn, for a late exec
// of pppd. It is a slow round and a last resort: a pppd starts children (its
// chat, its scripts, itself in the background), and a new child has its
// parent read again; its new interface calls a full listing.
constexpr std::uint64_t kInTurnEvery = 64;
// The network interfaces are looked at every so many scans.
constexpr std::uint64_t kInterfacesEvery = 16;
// A full listing this often anyway: it finds what the pid counter cannot
// tell, such as a /proc of another pid namespace.
constexpr std::uint64_t kListEvery = 600;
// More new pids than this since the last scan are cheaper found by listing.
constexpr std::uint64_t kMaxNewPids = 1024;

constexpr std::size_t kStatLimit = 4096;
constexpr std::size_t kCommLimit = 256;

// The pid a /proc entry stands for; nullopt for any other name.
std::optional<std::int32_t> pidFromName(const std::string& name)
{
    if (name.empty() || name.size() > 10 || name.front() == '0')
        return std::nullopt;
    if (!std::all_of(name.begin(), name.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    const auto value = std::stoull(name);
    if (value > static_cast<unsigned long long>(std::numeric_limits<std::int32_t>::max()))
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

} // namespace

ProcessScan::ProcessScan(std::string proc, std::string netFolder)
    : proc_(std::move(proc))
    , netFolder_(std::move(netFolder))
{
}

std::optional<std::vector<PppdProcess>> ProcessScan::scan()
{
    ++scan_;
    const auto loadavg = held_.read(proc_ + "/loadavg", 256);
    const auto lastPid = loadavg ? lastPidFromLoadavg(*loadavg) : std::nullopt;
    const auto previousPid = lastPid_;
    lastPid_ = lastPid;
    bool interfacesChanged = false;
    if (scan_ % kInterfacesEvery == 1) {
        auto interfaces = listFolder(netFolder_).value_or(std::vector<std::string>{});
        std::sort(interfaces.begin(), interfaces.end());
        interfacesChanged = interfaces != interfaces_;
        interfaces_ = std::move(interfaces);
    }

    std::vector<PppdProcess> found;
    nextWatched_.clear();
    const bool counterTellsNew = lastPid && previousPid && *lastPid >= *previousPid
        && *lastPid - *previousPid <= kMaxNewPids && *lastPid <= std::numeric_limits<std::int32_t>::max();
    if (!counterTellsNew || interfacesChanged || scan_ % kListEvery == 0) {
        if (!listAll(interfacesChanged, found)) {
            lastPid_.reset();
            return std::nullopt;
        }
    } else {
        for (auto pid = *previousPid + 1; pid <= *lastPid; ++pid)
            visit(static_cast<std::int32_t>(pid), true, found);
        for (const std::int32_t pid : watched_)
            visit(pid, false, found);
        visitInTurn(found);
    }
    std::swap(watched_, nextWatched_);
    std::sort(found.begin(), found.end(), [](const PppdProcess& a, const PppdProcess& b) {
        return a.startTime != b.startTime ? a.startTime < b.startTime : a.pid < b.pid;
    });
    return found;
}

const PppdProcess* ProcessScan::knownPppd(std::int32_t pid) const
{
    const auto it = known_.find(pid);
    return it != known_.end() && it->second.kind == Kind::Pppd ? &it->second.process : nullptr;
}

bool ProcessScan::listAll(bool readAll, std::vector<PppdProcess>& found)
{
    const auto names = listFolder(proc_);
    if (!names) {
        known_.clear();
        watched_.clear();
        return false;
    }
    for (const std::string& name : *names) {
        const auto pid = pidFromName(name);
        if (!pid)
            continue;
        const auto it = known_.find(*pid);
        if (it == known_.end())
            visit(*pid, true, found);
        else if (readAll || it->second.kind == Kind::Young || it->second.kind == Kind::Pppd)
            visit(*pid, false, found);
        else
            it->second.lastSeen = scan_;
    }
    std::erase_if(known_, [this](const auto& entry) { return entry.second.lastSeen != scan_; });
    if (!readAll)
        visitInTurn(found);
    return true;
}

void ProcessScan::visitInTurn(std::vector<PppdProcess>& found)
{
    if (scan_ % kInTurnEvery != 0)
        return;
    auto it = known_.upper_bound(turnCursor_);
    bool read = false;
    for (std::size_t steps = 0; !read && steps < known_.size(); ++steps) {
        if (it == known_.end())
            it = known_.begin();
        const std::int32_t pid = it->first;
        const bool old = it->second.kind == Kind::Old;
        ++it; // before the visit, which may erase pid
        turnCursor_ = pid;
        if (!old)
            continue;
        visit(pid, false, found);
        read = true;
    }
}

void ProcessScan::visit(std::int32_t pid, bool fresh, std::vector<PppdProcess>& found)
{
    Known* known = nullptr;
    if (fresh) {
        known = &(known_[pid] = Known{});
        known->firstScan = scan_;
    } else {
        const auto it = known_.find(pid);
        if (it == known_.end() || it->second.lastRead == scan_)
            return;
        known = &it->second;
    }
    known->lastSeen = known->lastRead = scan_;
    const std::string folder = proc_ + "/" + std::to_string(pid);
    // What is read at every scan stays open; an older process read in turn
    // would only push it out.
    const bool watched = known->kind == Kind::Young || known->kind == Kind::Pppd;
    const std::string statPath = folder + "/stat";
    const auto stat = parseProcStat(watched ? held_.read(statPath, kStatLimit) : readSmallFile(statPath, kStatLimit));
    std::string comm;
    if (stat && !stat->thread) {
        comm = stat->comm;
    } else if (const auto text = stat ? std::nullopt : readSmallFile(folder + "/comm", kCommLimit)) {
        comm = std::string(firstLine(*text));
    } else { // gone, or a thread
        known_.erase(pid);
        return;
    }
    // An exec gives the process a new name; while it keeps its name and start
    // time, its arguments are still the ones read last.
    if (fresh && stat) {
        // The parent may have exec'd since it was last read.
        const auto parent = known_.find(stat->parent);
        if (parent != known_.end() && parent->second.kind == Kind::Old)
            visit(stat->parent, false, found);
    }
    if (fresh || !stat || comm != known->process.comm || stat->startTime != known->process.startTime) {
        auto args = splitCmdline(readSmallFile(folder + "/cmdline").value_or(std::string{}));
        const bool pppd = stat && isPppdProcess(comm, args);
        if (!pppd)
            args.clear();
        known->process = {pid, std::move(comm), stat ? stat->startTime : 0, std::move(args)};
        known->kind = pppd ? Kind::Pppd : Kind::Young;
    }
    if (known->kind == Kind::Pppd) {
        if (!stat->exiting()) // a pppd on its way out is no connection any more
            found.push_back(known->process);
    } else {
        // Past its start a kernel thread stays one: it is not read again.
        known->kind = scan_ - known->firstScan + 1 < kYoungScans ? Kind::Young
            : stat && stat->kernelThread()                       ? Kind::KernelThread
                                                                 : Kind::Old;
    }
    if (known->kind == Kind::Young || known->kind == Kind::Pppd)
        nextWatched_.push_back(pid);
}

} // namespace zumi::pppd
