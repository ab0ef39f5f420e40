#include "ras/pppd/pppd_dialup.h"

#include "ras/pppd/detached_start.h"
#include "ras/pppd/pppd_links.h"
#include "ras/pppd/pppd_text.h"
#include "ras/pppd/small_file.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <optional>
#include <sys/wait.h>
#include <system_error>

namespace zumi {
namespace {

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

std::optional<pppd::ProcStat> readStat(const std::string& folder)
{
    return pppd::parseProcStat(readSmallFile(folder + "/stat", kStatLimit));
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
    , processes_(proc_, (root_ / "sys/class/net").string())
{
}

ConnectionList PppdDialUp::enumConnections()
{
    const auto pppds = processes_.scan();
    if (!pppds)
        return {};
    ConnectionList list;
    list.ok = true;
    list.connections.reserve(pppds->size());
    const bool leaveOut = networkManagerReports_ && networkManagerReports_();
    for (const pppd::PppdProcess& process : *pppds) {
        if (leaveOut && pppd::startedByNetworkManager(process.args))
            continue;
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
        const bool pppd = comm ? pppd::firstLine(*comm) == "pppd" : processes_.knownPppd(handle) != nullptr;
        return pppd ? kStateDisconnected : 0;
    }
    const auto stat = pppd::parseProcStat(statText);
    if (!stat)
        return 0;
    const pppd::PppdProcess* known = processes_.knownPppd(handle);
    const bool sameAsScanned = known && known->comm == stat->comm && known->startTime == stat->startTime;
    if (!sameAsScanned
        && !pppd::isPppdProcess(stat->comm,
                                pppd::splitCmdline(readSmallFile(folder + "/cmdline").value_or(std::string{}))))
        return 0;
    if (stat->exiting())
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
    if (!stat || stat->exiting())
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

} // namespace zumi
