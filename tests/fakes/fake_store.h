#pragma once
#include "platform/settings_store.h"

#include <map>

namespace zumi::test {

// An in-memory settings store that counts its writes.
class FakeStore final : public SettingsStore {
public:
    std::map<std::string, std::string> values;
    int writeCalls = 0;
    bool failWrites = false;

    void reload() override {}
    std::optional<std::string> read(const std::string& key) const override
    {
        return values.count(key) ? std::optional(values.at(key)) : std::nullopt;
    }
    std::vector<std::string> keys() const override
    {
        std::vector<std::string> result;
        for (const auto& [k, v] : values)
            result.push_back(k);
        return result;
    }
    bool write(const std::vector<Change>& changes) override
    {
        ++writeCalls;
        if (failWrites)
            return false;
        for (const auto& [key, value] : changes) {
            if (value)
                values[key] = *value;
            else
                values.erase(key);
        }
        return true;
    }
    using SettingsStore::read;
    using SettingsStore::write;
};

} // namespace zumi::test
