#include "ras/pppd/pppd_links.h"

#include "ras/pppd/pppd_text.h"
#include "ras/pppd/small_file.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <string_view>

namespace zumi::pppd {
namespace {

constexpr std::string_view kLinkPrefix = "ppp-";
constexpr std::string_view kPidSuffix = ".pid";
constexpr std::size_t kPidFileLimit = 4096;

std::optional<PidFile> parsed(const std::optional<std::string>& text)
{
    return text ? parsePidFile(*text) : std::nullopt;
}

std::optional<PidFile> readPidFile(const std::filesystem::path& path)
{
    return parsed(readSmallFile(path.string(), kPidFileLimit));
}

struct LinkPidFile {
    std::string linkName;
    std::string interfaceName;
};

// The link pid file (root/run/ppp-NAME.pid) that names this pid.
std::optional<LinkPidFile> findLinkPidFile(const std::filesystem::path& run, std::int32_t pid)
{
    for (const std::string& name : listFolder(run.string()).value_or(std::vector<std::string>{})) {
        const std::string_view view = name;
        if (view.size() <= kLinkPrefix.size() + kPidSuffix.size() || !view.starts_with(kLinkPrefix)
            || !view.ends_with(kPidSuffix))
            continue;
        const auto file = readPidFile(run / name);
        if (file && file->pid == pid)
            return LinkPidFile{
                std::string(view.substr(kLinkPrefix.size(), view.size() - kLinkPrefix.size() - kPidSuffix.size())),
                file->interfaceName};
    }
    return std::nullopt;
}

} // namespace

std::string findInterface(const std::filesystem::path& root, std::int32_t pid)
{
    if (pid <= 0)
        return {};
    const std::filesystem::path run = root / "run";
    const std::vector<std::string> interfaces
        = listFolder((root / "sys/class/net").string()).value_or(std::vector<std::string>{});
    for (const std::string& name : interfaces) {
        if (!isPlainFileName(name))
            continue;
        const auto file = readPidFile(run / (name + std::string(kPidSuffix)));
        if (file && file->pid == pid)
            return name;
    }
    const auto link = findLinkPidFile(run, pid);
    if (link && std::find(interfaces.begin(), interfaces.end(), link->interfaceName) != interfaces.end())
        return link->interfaceName;
    return {};
}

std::string InterfaceFinder::find(std::int32_t pid)
{
    if (pid > 0 && pid == pid_ && !interface_.empty()) {
        // pppd removes its pid file when the link goes down.
        const auto file = parsed(pidFile_.read(pidFilePath_, kPidFileLimit));
        if (file && file->pid == pid)
            return interface_;
    }
    pid_ = pid;
    interface_ = findInterface(root_, pid);
    pidFilePath_ = (root_ / "run" / (interface_ + std::string(kPidSuffix))).string();
    return interface_;
}

std::string findLinkName(const std::filesystem::path& root, std::int32_t pid)
{
    if (pid <= 0)
        return {};
    const auto link = findLinkPidFile(root / "run", pid);
    return link ? link->linkName : std::string{};
}

bool interfaceUp(HeldFiles& files, const std::filesystem::path& root, const std::string& interfaceName)
{
    if (!isPlainFileName(interfaceName))
        return false;
    const std::filesystem::path folder = root / "sys/class/net" / interfaceName;
    if (const auto flags = files.read((folder / "flags").string(), 64)) {
        std::string_view text = firstLine(*flags);
        while (!text.empty() && text.back() == ' ')
            text.remove_suffix(1);
        if (text.starts_with("0x") || text.starts_with("0X"))
            text.remove_prefix(2);
        unsigned long value = 0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
        if (error == std::errc() && end == text.data() + text.size() && !text.empty() && (value & 0x1u) != 0)
            return true;
    }
    if (const auto operstate = readSmallFile((folder / "operstate").string(), 64)) {
        const std::string_view state = firstLine(*operstate);
        return !state.empty() && state != "down" && state != "lowerlayerdown" && state != "notpresent";
    }
    return false;
}

} // namespace zumi::pppd
