#include "ras/pppd/pppd_text.h"

#include <algorithm>
#include <charconv>
#include <limits>

namespace zumi::pppd {
namespace {

constexpr std::string_view kBlanks = " \t\r\n";

std::string_view trimmed(std::string_view text)
{
    const auto first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

} // namespace

std::optional<ProcStat> parseProcStat(std::string_view text)
{
    // "PID (COMM) S PPID ..." where COMM may itself hold blanks and parentheses:
    // it ends at the last ')'.
    const auto open = text.find('(');
    const auto close = text.rfind(')');
    if (open == std::string_view::npos || close == std::string_view::npos || close < open)
        return std::nullopt;
    ProcStat stat;
    stat.comm = std::string(text.substr(open + 1, close - open - 1));

    // Fields after the name, counted from 3 (the state) as proc(5) does.
    std::string_view rest = text.substr(close + 1);
    constexpr int kStartTimeField = 22;
    constexpr int kExitSignalField = 38; // absent from short lines
    int field = 3;
    while (field <= kExitSignalField) {
        const auto start = rest.find_first_not_of(" \n");
        if (start == std::string_view::npos) {
            if (field <= kStartTimeField)
                return std::nullopt;
            break;
        }
        rest.remove_prefix(start);
        const auto end = std::min(rest.find_first_of(" \n"), rest.size());
        const std::string_view token = rest.substr(0, end);
        if (field == 3) {
            if (token.size() != 1)
                return std::nullopt;
            stat.state = token[0];
        } else if (field == 4) {
            const auto value = parseDecimal(token);
            stat.parent = value && *value <= 0x7fffffffu ? static_cast<std::int32_t>(*value) : 0;
        } else if (field == 9) {
            stat.flags = parseDecimal(token).value_or(0);
        } else if (field == kStartTimeField) {
            const auto value = parseDecimal(token);
            if (!value)
                return std::nullopt;
            stat.startTime = *value;
        } else if (field == kExitSignalField) {
            stat.thread = token == "-1";
        }
        rest.remove_prefix(end);
        ++field;
    }
    return stat;
}

std::optional<ProcStat> parseProcStat(const std::optional<std::string>& text)
{
    return text ? parseProcStat(std::string_view(*text)) : std::nullopt;
}

std::optional<std::uint64_t> lastPidFromLoadavg(std::string_view text)
{
    text = firstLine(text);
    for (int field = 1; field < 5; ++field) {
        const auto blank = text.find(' ');
        if (blank == std::string_view::npos)
            return std::nullopt;
        text.remove_prefix(blank + 1);
    }
    return parseDecimal(text);
}

std::vector<std::string> splitCmdline(std::string_view text)
{
    std::vector<std::string> args;
    while (!text.empty()) {
        const auto end = text.find('\0');
        args.emplace_back(text.substr(0, end));
        if (end == std::string_view::npos)
            break;
        text.remove_prefix(end + 1);
    }
    return args;
}

bool isPppdProcess(std::string_view comm, const std::vector<std::string>& args)
{
    if (comm == "pppd")
        return true;
    if (args.empty())
        return false;
    std::string_view argv0 = args.front();
    if (const auto slash = argv0.rfind('/'); slash != std::string_view::npos)
        argv0.remove_prefix(slash + 1);
    return argv0 == "pppd";
}

std::string optionValue(const std::vector<std::string>& args, std::string_view option)
{
    for (std::size_t i = 1; i + 1 < args.size(); ++i) {
        if (args[i] == option)
            return args[i + 1];
    }
    return {};
}

bool startedByNetworkManager(const std::vector<std::string>& args)
{
    const std::string plugin = optionValue(args, "plugin");
    const std::string_view base = std::string_view(plugin).substr(plugin.rfind('/') + 1);
    return base == "nm-pppd-plugin.so" && optionValue(args, "call").empty();
}

std::optional<std::uint64_t> parseDecimal(std::string_view text)
{
    text = trimmed(text);
    if (text.empty())
        return std::nullopt;
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

std::optional<PidFile> parsePidFile(std::string_view text)
{
    const std::string_view first = firstLine(text);
    const auto pid = parseDecimal(first);
    if (!pid || *pid == 0 || *pid > static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max()))
        return std::nullopt;
    PidFile file;
    file.pid = static_cast<std::int32_t>(*pid);
    if (const auto lineEnd = text.find('\n'); lineEnd != std::string_view::npos) {
        const std::string_view second = trimmed(firstLine(text.substr(lineEnd + 1)));
        if (isPlainFileName(second))
            file.interfaceName = std::string(second);
    }
    return file;
}

bool isPlainFileName(std::string_view name)
{
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos
        && name.find('\0') == std::string_view::npos;
}

bool isPhonebookFileName(std::string_view name)
{
    if (!isPlainFileName(name) || name.front() == '.' || name.back() == '~')
        return false;
    if (name.size() >= 4 && name.substr(name.size() - 4) == ".bak")
        return false;
    return name.find(".dpkg-") == std::string_view::npos && name.find(".ucf-") == std::string_view::npos;
}

std::string_view firstLine(std::string_view text)
{
    std::string_view line = text.substr(0, text.find('\n'));
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    return line;
}

} // namespace zumi::pppd
