#pragma once
#include "settings_store.h"

#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <sstream>
#include <string>

namespace zumi::test {

// A fresh folder under the temp folder, removed with its contents afterwards.
class TempFolder {
public:
    TempFolder()
        : path_(std::filesystem::temp_directory_path() / ("zumi-settings-" + std::to_string(std::random_device()())))
    {
        std::filesystem::create_directories(path_);
    }
    ~TempFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

inline std::string readText(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline void writeText(const std::filesystem::path& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

// An in-memory store that keeps every batch written to it, in order.
class RecordingStore final : public SettingsStore {
public:
    std::map<std::string, std::string> values;
    std::vector<std::vector<Change>> batches;

    void reload() override {}
    std::optional<std::string> read(const std::string& key) const override
    {
        const auto it = values.find(key);
        return it == values.end() ? std::nullopt : std::optional<std::string>(it->second);
    }
    std::vector<std::string> keys() const override
    {
        std::vector<std::string> result;
        for (const auto& entry : values)
            result.push_back(entry.first);
        return result;
    }
    bool write(const std::vector<Change>& changes) override
    {
        batches.push_back(changes);
        for (const auto& [key, value] : changes)
            value ? void(values[key] = *value) : void(values.erase(key));
        return true;
    }
    using SettingsStore::read;
    using SettingsStore::write;
};

} // namespace zumi::test
