#include "settings/ini_settings_store.h"

#include "platform/durable_file.h"
#include "platform/user_files.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <utility>

namespace zumi {
namespace {

constexpr std::string_view kSection = "Settings";

enum class FileState { Missing, Read, Unreadable, TooLarge };

struct FileContents {
    FileState state = FileState::Missing;
    std::string text;
};

// Reads at most the size limit, so a file that grows meanwhile costs no more.
FileContents readFile(const std::filesystem::path& path)
{
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (status.type() == std::filesystem::file_type::not_found)
        return {FileState::Missing, {}};
    if (error || status.type() != std::filesystem::file_type::regular)
        return {FileState::Unreadable, {}};
    const auto size = std::filesystem::file_size(path, error);
    if (error)
        return {FileState::Unreadable, {}};
    if (size > IniSettingsStore::kMaxFileSize)
        return {FileState::TooLarge, {}};
    // C stdio, not a stream: a stream would bring in the C++ locale machinery,
    // a few hundred kB resident for one read at the start.
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> in(std::fopen(path.c_str(), "rb"), std::fclose);
    if (!in)
        return {FileState::Unreadable, {}};
    std::string text(static_cast<std::size_t>(size), '\0');
    text.resize(std::fread(text.data(), 1, text.size(), in.get()));
    // It may have grown since it was measured.
    char more[4096];
    while (const std::size_t got = std::fread(more, 1, sizeof more, in.get())) {
        if (text.size() + got > IniSettingsStore::kMaxFileSize)
            return {FileState::TooLarge, {}};
        text.append(more, got);
    }
    if (std::ferror(in.get()))
        return {FileState::Unreadable, {}};
    return {FileState::Read, std::move(text)};
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
    removeStaleTemporaryFiles(writeTarget(path_));
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
        base = ".config"; // no home at all: beside the working directory rather than nowhere
    return base / "Zumi" / "Zumi.conf";
}

std::filesystem::path IniSettingsStore::defaultPath()
{
    return pathFor(std::getenv("XDG_CONFIG_HOME"), homeFolder().c_str());
}

void IniSettingsStore::reload()
{
    auto contents = readFile(path_);
    readable_ = contents.state != FileState::Unreadable && contents.state != FileState::TooLarge;
    tooLarge_ = contents.state == FileState::TooLarge;
    adopt(std::move(contents.text));
}

bool IniSettingsStore::readOnly() const
{
    std::error_code error;
    const auto status = std::filesystem::status(writeTarget(path_), error);
    return !error && std::filesystem::exists(status)
        && (status.permissions() & std::filesystem::perms::owner_write) == std::filesystem::perms::none;
}

std::optional<std::string> IniSettingsStore::read(const std::string& key) const
{
    return index_.read(key);
}

std::vector<std::string> IniSettingsStore::keys() const
{
    return index_.keys();
}

bool IniSettingsStore::write(const std::vector<Change>& changes)
{
    for (const auto& change : changes)
        if (!ini::isStorableKey(change.first))
            return false;

    // Start from the file as it is now, so that nothing edited by hand since
    // the last read is lost.
    auto contents = readFile(path_);
    readable_ = contents.state != FileState::Unreadable && contents.state != FileState::TooLarge;
    tooLarge_ = contents.state == FileState::TooLarge;
    if (!readable_)
        return false;
    std::string text = ini::applyChanges(contents.text, kSection, changes);
    if (text == contents.text) { // nothing changes: leave the file alone
        adopt(std::move(contents.text));
        return true;
    }
    if (!writeFileAtomically(writeTarget(path_), text)) {
        adopt(std::move(contents.text)); // what the file still holds
        return false;
    }
    adopt(std::move(text));
    return true;
}

void IniSettingsStore::adopt(std::string text)
{
    text_ = std::move(text);
    index_ = ini::SectionIndex(text_, kSection);
}

} // namespace zumi
