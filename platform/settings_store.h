#pragma once
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace zumi {

// A per-user store of named text values (one section, "Settings").
// Texts come back exactly as they were written.
class SettingsStore {
public:
    using Change = std::pair<std::string, std::optional<std::string>>; // nullopt removes the key

    virtual ~SettingsStore() = default;
    // Re-reads the backing storage (it may have been edited by hand).
    virtual void reload() = 0;
    virtual std::optional<std::string> read(const std::string& key) const = 0;
    virtual std::vector<std::string> keys() const = 0;
    // Applies all changes at once; false when they could not be stored.
    virtual bool write(const std::vector<Change>& changes) = 0;

    std::string read(const std::string& key, const std::string& fallback) const
    {
        auto value = read(key);
        return value ? *value : fallback;
    }
    bool write(const std::string& key, const std::string& value) { return write({{key, value}}); }
};

} // namespace zumi
