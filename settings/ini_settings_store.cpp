#include "settings/ini_settings_store.h"

#include "platform/durable_file.h"
#include "platform/read_file.h"
#include "platform/user_folders.h"

#include <utility>

namespace zumi {
namespace {

constexpr std::string_view kSection = "Settings";
using State = FileContents::State;

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

std::filesystem::path IniSettingsStore::defaultPath()
{
    return settingsFile();
}

void IniSettingsStore::reload()
{
    auto contents = readFileUpTo(path_, kMaxFileSize);
    readable_ = contents.state != State::Unreadable && contents.state != State::TooLarge;
    tooLarge_ = contents.state == State::TooLarge;
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
    auto contents = readFileUpTo(path_, kMaxFileSize);
    readable_ = contents.state != State::Unreadable && contents.state != State::TooLarge;
    tooLarge_ = contents.state == State::TooLarge;
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
