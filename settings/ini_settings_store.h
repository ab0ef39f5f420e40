#pragma once
#include "platform/settings_store.h"
#include "settings/ini_format.h"

#include <cstdint>
#include <filesystem>
#include <string>

namespace zumi {

// The settings store as a plain INI file, section [Settings], one
// "key=value" line per key (see ini_format.h for how values are written).
// Lines and sections it does not understand are kept when it saves.
//
// Every write re-reads the file, applies the changes and replaces the file
// atomically, so keys edited by hand meanwhile are kept and a crash leaves the
// old file or the new one. A file that exists but cannot be read, or is larger
// than any settings file of ours (kMaxFileSize), is never overwritten: it
// loads as empty (the defaults) and writes fail.
class IniSettingsStore final : public SettingsStore {
public:
    static constexpr std::uintmax_t kMaxFileSize = 16 * 1024 * 1024;

    explicit IniSettingsStore(std::filesystem::path path);
    IniSettingsStore(const IniSettingsStore&) = delete; // the index points into the text
    IniSettingsStore& operator=(const IniSettingsStore&) = delete;

    // The user's settings file where the system keeps such files.
    static std::filesystem::path defaultPath();

    const std::filesystem::path& path() const { return path_; }
    // False while the file exists but could not be read (writes are refused).
    bool readable() const { return readable_; }
    // True while the file is too large to be read (it is left alone).
    bool tooLarge() const { return tooLarge_; }
    // True when the file is there but its owner made it read-only (saves are refused).
    bool readOnly() const;

    void reload() override;
    std::optional<std::string> read(const std::string& key) const override;
    std::vector<std::string> keys() const override;
    bool write(const std::vector<Change>& changes) override;
    using SettingsStore::read;
    using SettingsStore::write;

private:
    void adopt(std::string text);

    std::filesystem::path path_;
    std::string text_;        // the file as last read or written
    ini::SectionIndex index_; // its [Settings] values, over text_
    bool readable_ = true;
    bool tooLarge_ = false;
};

} // namespace zumi
