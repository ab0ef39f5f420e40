#include "ini_settings_store.h"

#include "durable_file.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <utility>

namespace zumi {
namespace {

constexpr std::string_view kSection = "Settings";

enum class FileState { Missing, Read, Unreadable };

struct FileContents {
    FileState state = FileState::Missing;
    std::string text;
};

FileContents readFile(const std::filesystem::path& path)
{
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (status.type() == std::filesystem::file_type::not_found)
        return {FileState::Missing, {}};
    if (error || status.type() != std::filesystem::file_type::regular)
        return {FileState::Unreadable, {}};
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return {FileState::Unreadable, {}};
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad() || text.fail())
        return {FileState::Unreadable, {}};
    return {FileState::Read, std::move(text).str()};
}

// A settings file kept as a symbolic link (dotfile managers do that) is
// replaced at the link's target, so the link survives.
std::filesystem::path writeTarget(const std::filesystem::path& path)
{
    std::error_code error;
    if (!std::filesystem::is_symlink(path, error))
        return path;
    auto target = std::filesystem::weakly_canonical(path, error);
    return error ? path : target;
}

} // namespace

IniSettingsStore::IniSettingsStore(std::filesystem::path path)
    : path_(std::move(path))
{
    reload();
}

std::filesystem::path IniSettingsStore::pathFor(const char* xdgConfigHome, const char* home)
{
    std::filesystem::path base;
    // A relative XDG_CONFIG_HOME is invalid and is ignored, as the base
    // directory rules ask.
    if (xdgConfigHome && *xdgConfigHome && std::filesystem::path(xdgConfigHome).is_absolute())
        base = xdgConfigHome;
    else if (home && *home)
        base = std::filesystem::path(home) / ".config";
    else
        base = ".config"; // no home: beside the working directory rather than nowhere
    return base / "Zumi" / "Zumi.conf";
}

std::filesystem::path IniSettingsStore::defaultPath()
{
    return pathFor(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
}

void IniSettingsStore::reload()
{
    auto contents = readFile(path_);
    readable_ = contents.state != FileState::Unreadable;
    adopt(contents.state == FileState::Read ? ini::parse(contents.text) : ini::Document{});
}

std::optional<std::string> IniSettingsStore::read(const std::string& key) const
{
    const auto it = values_.find(key);
    if (it == values_.end())
        return std::nullopt;
    return it->second;
}

std::vector<std::string> IniSettingsStore::keys() const
{
    std::vector<std::string> result;
    result.reserve(values_.size());
    for (const auto& entry : values_)
        result.push_back(entry.first);
    return result;
}

bool IniSettingsStore::write(const std::vector<Change>& changes)
{
    for (const auto& change : changes)
        if (!ini::isStorableKey(change.first))
            return false;

    // Start from the file as it is now, so that nothing edited by hand since
    // the last read is lost.
    auto contents = readFile(path_);
    if (contents.state == FileState::Unreadable) {
        readable_ = false;
        return false;
    }
    readable_ = true;
    auto current = contents.state == FileState::Read ? ini::parse(contents.text) : ini::Document{};
    auto updated = current;
    for (const auto& [key, value] : changes)
        ini::setValue(updated, kSection, key, value);

    const std::string text = ini::format(updated);
    if (text == contents.text) { // nothing changes: leave the file alone
        adopt(current);
        return true;
    }
    if (!writeFileAtomically(writeTarget(path_), text)) {
        adopt(current); // what the file still holds
        return false;
    }
    adopt(updated);
    return true;
}

void IniSettingsStore::adopt(const ini::Document& document)
{
    values_ = ini::entries(document, kSection);
}

} // namespace zumi
