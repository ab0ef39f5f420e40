#include "ras/pppd/pppd_dialup.h"

#include "ras/pppd/detached_start.h"
#include "ras/pppd/pppd_links.h"
#include "ras/pppd/pppd_text.h"
#include "ras/pppd/small_file.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <limits>
#include <optional>
#include <sys/wait.h>
#include <system_error>

namespace zumi {
namespace {

// A process first seen fewer scans ago than this is read at every scan: it may
// still exec pppd under the same pid (pon does).
constexpr std::uint64_t kYoungScans = 4;
// Any other process that is not a pppd (kernel threads aside, which cannot
// exec) is looked at again every so many scans, spread over the scans by pid,
// in case it has exec'd pppd since: its name every kRecheckEvery scans, its
// argument vector too every kFullRecheckEvery.
constexpr std::uint64_t kRecheckEvery = 32;
constexpr std::uint64_t kFullRecheckEvery = 4 * kRecheckEvery;

constexpr std::size_t kCommLimit = 256;

// How long dialing waits on the user-interface thread for pppd to refuse the
// call: its own checks (options, peers file, rights, kernel support) fail
// within milliseconds, and a healthy pppd is in the background by then.
constexpr std::chrono::milliseconds kEarlyExitWait{400};
constexpr std::size_t kStatLimit = 4096;

int killProcess(std::int32_t pid, int signal)
{
    return ::kill(static_cast<pid_t>(pid), signal) == 0 ? 0 : errno;
}

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

struct ProcessView {
    bool pppd = false;
    bool kernelThread = false;
    std::vector<std::string> args;
};

std::optional<pppd::ProcStat> parsedStat(const std::optional<std::string>& text)
{
    return text ? pppd::parseProcStat(*text) : std::nullopt;
}

// Whether the process in this /proc folder is a pppd; nullopt when it is gone.
// Without withArgs only a process named pppd has its arguments read.
std::optional<ProcessView> lookAt(const std::string& folder, bool withArgs = true)
{
    ProcessView view;
    std::string comm;
    if (const auto stat = parsedStat(readSmallFile(folder + "/stat", kStatLimit))) {
        comm = stat->comm;
        view.kernelThread = stat->kernelThread();
    } else if (const auto text = readSmallFile(folder + "/comm", kCommLimit)) {
        comm = std::string(pppd::firstLine(*text));
    } else {
        return std::nullopt;
    }
    if (!withArgs && comm != "pppd")
        return view;
    view.args = pppd::splitCmdline(readSmallFile(folder + "/cmdline").value_or(std::string{}));
    view.pppd = pppd::isPppdProcess(comm, view.args);
    return view;
}

std::optional<pppd::ProcStat> readStat(const std::string& folder)
{
    return parsedStat(readSmallFile(folder + "/stat", kStatLimit));
}

bool exiting(const pppd::ProcStat& stat)
{
    return stat.state == 'Z' || stat.state == 'X' || stat.state == 'x';
}

bool isRegularFile(const std::filesystem::path& path)
{
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

DialError startError(int error)
{
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return DialError::ProgramMissing;
    case EACCES:
    case EPERM:
        return DialError::NotPermitted;
    case ENOEXEC:
        return DialError::NotExecutable;
    case EAGAIN:
    case ENOMEM:
        return DialError::NoProcesses;
    default:
        return DialError::StartFailed;
    }
}

} // namespace

PppdDialUp::PppdDialUp(std::filesystem::path root, SignalSender sendSignal)
    : root_(std::move(root))
    , proc_((root_ / "proc").string())
    , sendSignal_(sendSignal ? std::move(sendSignal) : SignalSender(killProcess))
    , interfaces_(root_)
{
}

std::optional<std::vector<std::int32_t>> PppdDialUp::processesToScan()
{
    // While the kernel has handed out no new pid, no process has been
    // created: the ones known from the last scan are all there can be, and
    // listing /proc again (the bulk of a scan's cost) can wait. A full
    // listing now and then covers a /proc that belongs to another namespace.
    const auto loadavg = held_.read(proc_ + "/loadavg", 256);
    const auto lastPid = loadavg ? pppd::lastPidFromLoadavg(*loadavg) : std::nullopt;
    const bool nothingNew = scan_ > 0 && lastPid && lastPid == lastPid_ && scan_ % kRecheckEvery != 0;
    lastPid_ = lastPid;
    std::vector<std::int32_t> pids;
    if (nothingNew) {
        pids.reserve(seen_.size());
        for (const auto& entry : seen_)
            pids.push_back(entry.first);
        return pids;
    }
    const auto names = listFolder(proc_);
    if (!names) {
        lastPid_.reset();
        return std::nullopt;
    }
    for (const std::string& name : *names) {
        if (const auto pid = pidFromName(name))
            pids.push_back(*pid);
    }
    return pids;
}

ConnectionList PppdDialUp::enumConnections()
{
    const auto pids = processesToScan();
    if (!pids)
        return {};
    ++scan_;

    struct Found {
        std::int32_t pid;
        std::uint64_t startTime;
        std::vector<std::string> args;
    };
    std::vector<Found> found;
    for (const std::int32_t pid : *pids) {
        auto [it, isNew] = seen_.try_emplace(pid);
        Seen& seen = it->second;
        if (isNew)
            seen.firstScan = scan_;
        seen.lastScan = scan_;
        const std::uint64_t turn = static_cast<std::uint64_t>(pid) + scan_;
        const bool young = isNew || scan_ - seen.firstScan < kYoungScans;
        // Past its start a kernel thread stays one: it is never looked at again.
        if (!young && seen.kernelThread)
            continue;
        const bool readAll = young || seen.pppd || turn % kFullRecheckEvery == 0;
        if (!readAll && turn % kRecheckEvery != 0)
            continue;

        const std::string folder = proc_ + "/" + std::to_string(pid);
        if (seen.pppd) {
            // The same pppd as at the last scan (an exec would have changed
            // its name): its arguments are still the ones read then.
            const auto stat = parsedStat(held_.read(folder + "/stat", kStatLimit));
            if (stat && stat->comm == seen.comm && stat->startTime == seen.startTime) {
                if (!exiting(*stat))
                    found.push_back({pid, stat->startTime, seen.args});
                continue;
            }
        }
        auto view = lookAt(folder, readAll);
        if (!view) { // gone while we looked
            seen_.erase(it);
            continue;
        }
        seen.pppd = view->pppd;
        seen.kernelThread = view->kernelThread;
        if (!seen.pppd)
            continue;
        const auto stat = parsedStat(held_.read(folder + "/stat", kStatLimit));
        if (!stat) {
            seen.pppd = false; // gone meanwhile: read afresh should the pid come back
            continue;
        }
        seen.comm = stat->comm;
        seen.startTime = stat->startTime;
        seen.args = view->args;
        if (exiting(*stat)) // a pppd on its way out is no connection any more
            continue;
        found.push_back({pid, stat->startTime, std::move(view->args)});
    }
    std::erase_if(seen_, [this](const auto& entry) { return entry.second.lastScan != scan_; });

    std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
        return a.startTime != b.startTime ? a.startTime < b.startTime : a.pid < b.pid;
    });
    ConnectionList list;
    list.ok = true;
    list.connections.reserve(found.size());
    for (const Found& process : found) {
        std::string entryName = pppd::optionValue(process.args, "call");
        if (entryName.empty())
            entryName = pppd::optionValue(process.args, "linkname");
        if (entryName.empty())
            entryName = pppd::findLinkName(root_, process.pid);
        if (entryName.empty())
            entryName = pppd::findInterface(root_, process.pid);
        list.connections.push_back({process.pid, std::move(entryName)});
    }
    return list;
}

std::int32_t PppdDialUp::connectionState(std::int32_t handle)
{
    if (handle <= 0)
        return 0;
    const std::string folder = proc_ + "/" + std::to_string(handle);
    const auto statText = held_.read(folder + "/stat", kStatLimit);
    if (!statText) {
        // Still listed but no longer readable: a pppd being torn down.
        std::error_code error;
        if (!std::filesystem::is_directory(folder, error))
            return 0;
        const auto comm = readSmallFile(folder + "/comm", kCommLimit);
        const bool pppd = comm ? pppd::firstLine(*comm) == "pppd" : wasPppd(handle);
        return pppd ? kStateDisconnected : 0;
    }
    const auto stat = pppd::parseProcStat(*statText);
    if (!stat)
        return 0;
    const auto known = seen_.find(handle);
    const bool sameAsScanned = known != seen_.end() && known->second.pppd && known->second.comm == stat->comm
        && known->second.startTime == stat->startTime;
    if (!sameAsScanned
        && !pppd::isPppdProcess(stat->comm,
                                pppd::splitCmdline(readSmallFile(folder + "/cmdline").value_or(std::string{}))))
        return 0;
    if (exiting(*stat))
        return kStateDisconnected;
    const std::string interfaceName = interfaces_.find(handle);
    if (!interfaceName.empty() && pppd::interfaceUp(held_, root_, interfaceName))
        return kStateConnected;
    return kStateConnecting;
}

int PppdDialUp::hangUp(std::int32_t handle)
{
    if (handle <= 0)
        return 0;
    // Only a live pppd: the pid may have been handed to another process since.
    const std::string folder = proc_ + "/" + std::to_string(handle);
    const auto stat = readStat(folder);
    if (!stat || exiting(*stat))
        return 0;
    const auto args = pppd::splitCmdline(readSmallFile(folder + "/cmdline").value_or(std::string{}));
    if (!pppd::isPppdProcess(stat->comm, args))
        return 0;
    const int error = sendSignal_(handle, SIGTERM);
    return error == ESRCH ? 0 : error; // ended meanwhile: nothing left to hang up
}

Phonebook PppdDialUp::phonebookEntries()
{
    const std::filesystem::path peers = root_ / "etc/ppp/peers";
    Phonebook phonebook;
    int error = 0;
    auto names = listFolder(peers.string(), &error);
    if (!names) {
        phonebook.error = error == ENOENT || error == ENOTDIR ? PhonebookError::Missing
            : error == EACCES || error == EPERM               ? PhonebookError::NotPermitted
                                                              : PhonebookError::Unreadable;
        phonebook.path = "/etc/ppp/peers";
        phonebook.code = error;
        return phonebook;
    }
    for (std::string& name : *names) {
        if (pppd::isPhonebookFileName(name) && isRegularFile(peers / name))
            phonebook.entries.push_back(std::move(name));
    }
    return phonebook;
}

DialResult PppdDialUp::dial(const std::string& entryName)
{
    const std::filesystem::path peers = root_ / "etc/ppp/peers";
    if (!pppd::isPhonebookFileName(entryName) || !isRegularFile(peers / entryName))
        return DialResult(false, DialError::NoSuchEntry, peers.string());

    // pppd itself with the name as one argument: pon, a shell script, would
    // split and glob it and read a leading "-" as its own option.
    const std::string program = (root_ / "usr/sbin/pppd").string();
    const StartOutcome outcome = startDetached(program, {program, "call", entryName}, kEarlyExitWait);
    if (outcome.startError != 0)
        return DialResult(false, startError(outcome.startError), program, outcome.startError);
    // pppd forks into the background and its first process ends with 0; an
    // end with anything else is pppd refusing the call.
    if (outcome.exited && !(WIFEXITED(outcome.waitStatus) && WEXITSTATUS(outcome.waitStatus) == 0)) {
        if (WIFEXITED(outcome.waitStatus))
            return DialResult(false, DialError::ExitedAtOnce, program, WEXITSTATUS(outcome.waitStatus),
                              outcome.firstErrorLine);
        return DialResult(false, DialError::KilledAtOnce, program, WTERMSIG(outcome.waitStatus),
                          outcome.firstErrorLine);
    }
    return DialResult(true);
}

std::string PppdDialUp::interfaceOf(std::int32_t handle)
{
    return interfaces_.find(handle);
}

bool PppdDialUp::wasPppd(std::int32_t pid) const
{
    const auto it = seen_.find(pid);
    return it != seen_.end() && it->second.pppd;
}

} // namespace zumi
