#pragma once
#include "platform/settings_store.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace zumi {

// The settings store in the current user's registry: one REG_SZ value per
// key under HKEY_CURRENT_USER\<subKey>, holding the text as UTF-16 exactly as
// it was written (commas, quotes and line breaks included). A value of any
// other type is none of ours and reads as absent; it is left alone.
//
// A missing key is an empty store (the defaults); the first write creates it.
// A key that exists but cannot be read loads as empty and refuses writes, so
// values it may hold are never overwritten blindly. A write applies all its
// changes or, when the registry refuses one, puts back those already made.
class RegistrySettingsStore final : public SettingsStore {
public:
    static constexpr const char* kDefaultSubKey = "Software\\VB and VBA Program Settings\\Zumi\\Settings";

    explicit RegistrySettingsStore(std::string subKey = kDefaultSubKey);

    // "HKEY_CURRENT_USER\..." for messages.
    std::string location() const;
    // False while the key exists but could not be read (writes are refused).
    bool readable() const { return readable_; }
    // Why the last read or write failed, in German; empty after a success.
    const std::string& problem() const { return problem_; }

    void reload() override;
    std::optional<std::string> read(const std::string& key) const override;
    std::vector<std::string> keys() const override;
    bool write(const std::vector<Change>& changes) override;
    using SettingsStore::read;
    using SettingsStore::write;

private:
    std::string subKey_;                        // UTF-8
    std::map<std::string, std::string> values_; // the texts as last read
    bool readable_ = true;
    std::string problem_;
};

} // namespace zumi
