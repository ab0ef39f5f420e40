#include "settings/registry/registry_settings_store.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <cstring>
#include <utility>

namespace zumi {
namespace {

constexpr std::string_view kRoot = "HKEY_CURRENT_USER\\";

// Zumi's texts are UTF-8, the registry's UTF-16: either conversion refuses
// what the other side could not give back unchanged.
std::optional<std::wstring> wide(std::string_view text)
{
    if (text.empty())
        return std::wstring();
    const int length
        = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (length <= 0)
        return std::nullopt;
    std::wstring out(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()), out.data(), length);
    return out;
}

std::optional<std::string> utf8(std::wstring_view text)
{
    if (text.empty())
        return std::string();
    const int length = WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()),
                                           nullptr, 0, nullptr, nullptr);
    if (length <= 0)
        return std::nullopt;
    std::string out(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()), out.data(), length,
                        nullptr, nullptr);
    return out;
}

// The system's own words for an error, with its number for a search.
std::string errorText(LSTATUS code)
{
    wchar_t* buffer = nullptr;
    const DWORD length
        = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                         nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring message(buffer ? buffer : L"", length);
    LocalFree(buffer);
    while (!message.empty()
           && (message.back() == L'\r' || message.back() == L'\n' || message.back() == L'.' || message.back() == L' '))
        message.pop_back();
    std::string text = "Fehler " + std::to_string(code);
    if (auto words = utf8(message); words && !words->empty())
        text += ": " + *words;
    return text;
}

class Key {
public:
    Key() = default;
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    ~Key()
    {
        if (handle_)
            RegCloseKey(handle_);
    }
    HKEY* out() { return &handle_; }
    HKEY get() const { return handle_; }

private:
    HKEY handle_ = nullptr;
};

// A value as the registry holds it, whatever its type.
struct RawValue {
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
    bool operator==(const RawValue&) const = default;
};

// The REG_SZ data of a text: UTF-16 with its terminating null.
RawValue textValue(const std::wstring& text)
{
    RawValue raw{REG_SZ, std::vector<BYTE>((text.size() + 1) * sizeof(wchar_t))};
    std::memcpy(raw.data.data(), text.c_str(), raw.data.size());
    return raw;
}

// The text of REG_SZ data; one terminating null is not part of it.
std::optional<std::string> textOf(const BYTE* data, DWORD size)
{
    std::wstring text(size / sizeof(wchar_t), L'\0');
    std::memcpy(text.data(), data, text.size() * sizeof(wchar_t));
    if (!text.empty() && text.back() == L'\0')
        text.pop_back();
    return utf8(text);
}

LSTATUS queryValue(HKEY key, const std::wstring& name, std::optional<RawValue>& value)
{
    value.reset();
    RawValue raw;
    DWORD size = 0;
    LSTATUS rc = RegQueryValueExW(key, name.c_str(), nullptr, &raw.type, nullptr, &size);
    while (rc == ERROR_SUCCESS || rc == ERROR_MORE_DATA) {
        raw.data.resize(size);
        rc = RegQueryValueExW(key, name.c_str(), nullptr, &raw.type, raw.data.data(), &size);
        if (rc == ERROR_SUCCESS) {
            raw.data.resize(size);
            value = std::move(raw);
            return ERROR_SUCCESS;
        }
    }
    return rc == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : rc;
}

LSTATUS putValue(HKEY key, const std::wstring& name, const std::optional<RawValue>& value)
{
    if (!value)
        return RegDeleteValueW(key, name.c_str());
    return RegSetValueExW(key, name.c_str(), 0, value->type, value->data.data(),
                          static_cast<DWORD>(value->data.size()));
}

// Every REG_SZ value of the key whose name and text are valid Unicode.
LSTATUS readTexts(HKEY key, std::map<std::string, std::string>& out)
{
    // A value that grows between sizing and reading starts the round again.
    for (int round = 0; round < 8; ++round) {
        out.clear();
        DWORD maxName = 0, maxData = 0;
        LSTATUS rc = RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &maxName,
                                      &maxData, nullptr, nullptr);
        if (rc != ERROR_SUCCESS)
            return rc;
        std::wstring name(maxName + 1, L'\0');
        std::vector<BYTE> data(maxData + sizeof(wchar_t));
        for (DWORD index = 0;; ++index) {
            DWORD nameLength = static_cast<DWORD>(name.size());
            DWORD type = REG_NONE;
            DWORD size = static_cast<DWORD>(data.size());
            rc = RegEnumValueW(key, index, name.data(), &nameLength, nullptr, &type, data.data(), &size);
            if (rc != ERROR_SUCCESS)
                break;
            if (type != REG_SZ)
                continue;
            auto keyName = utf8(std::wstring_view(name.data(), nameLength));
            auto text = textOf(data.data(), size);
            if (keyName && !keyName->empty() && text)
                out[*keyName] = std::move(*text);
        }
        if (rc == ERROR_NO_MORE_ITEMS)
            return ERROR_SUCCESS;
        if (rc != ERROR_MORE_DATA)
            return rc;
    }
    return ERROR_MORE_DATA;
}

struct Step {
    std::wstring name;
    std::optional<RawValue> wanted;   // nullopt removes the value
    std::optional<RawValue> previous; // what it held before
};

} // namespace

RegistrySettingsStore::RegistrySettingsStore(std::string subKey)
    : subKey_(std::move(subKey))
{
    reload();
}

std::string RegistrySettingsStore::location() const
{
    return std::string(kRoot) + subKey_;
}

void RegistrySettingsStore::reload()
{
    values_.clear();
    readable_ = true;
    problem_.clear();
    const auto subKey = wide(subKey_);
    Key key;
    LSTATUS rc = subKey ? RegOpenKeyExW(HKEY_CURRENT_USER, subKey->c_str(), 0, KEY_QUERY_VALUE, key.out())
                        : ERROR_INVALID_PARAMETER;
    if (rc == ERROR_FILE_NOT_FOUND) // first run: the defaults
        return;
    if (rc == ERROR_SUCCESS)
        rc = readTexts(key.get(), values_);
    if (rc != ERROR_SUCCESS) {
        values_.clear();
        readable_ = false;
        problem_ = "Die Einstellungen in der Registrierung (" + location() + ") können nicht gelesen werden ("
            + errorText(rc) + ").";
    }
}

std::optional<std::string> RegistrySettingsStore::read(const std::string& key) const
{
    const auto found = values_.find(key);
    if (found == values_.end())
        return std::nullopt;
    return found->second;
}

std::vector<std::string> RegistrySettingsStore::keys() const
{
    std::vector<std::string> out;
    out.reserve(values_.size());
    for (const auto& entry : values_)
        out.push_back(entry.first);
    return out;
}

bool RegistrySettingsStore::write(const std::vector<Change>& changes)
{
    const auto failed = [this](std::string why) {
        problem_ = "Die Einstellungen können nicht in der Registrierung (" + location() + ") gespeichert werden ("
            + std::move(why) + ").";
        return false;
    };
    // A name the registry would read differently (the unnamed default value,
    // or one cut at a null) or a text that is not UTF-8 is refused whole.
    std::vector<Step> steps;
    for (const auto& [name, value] : changes) {
        auto wideName = wide(name);
        if (!wideName || wideName->empty() || wideName->find(L'\0') != std::wstring::npos)
            return failed("ungültiger Name „" + name + "“");
        Step step{std::move(*wideName), std::nullopt, std::nullopt};
        if (value) {
            auto text = wide(*value);
            if (!text)
                return failed("der Wert von „" + name + "“ ist kein UTF-8-Text");
            step.wanted = textValue(*text);
        }
        steps.push_back(std::move(step));
    }

    const auto subKey = wide(subKey_);
    if (!subKey)
        return failed(errorText(ERROR_INVALID_PARAMETER));
    // What is stored already needs no write, so a key the user may not change
    // still takes a save that changes nothing in it.
    {
        Key key;
        LSTATUS rc = RegOpenKeyExW(HKEY_CURRENT_USER, subKey->c_str(), 0, KEY_QUERY_VALUE, key.out());
        if (rc != ERROR_SUCCESS && rc != ERROR_FILE_NOT_FOUND) {
            readable_ = false;
            return failed(errorText(rc));
        }
        bool changesSomething = false;
        for (const auto& step : steps) {
            std::optional<RawValue> stored;
            if (rc == ERROR_SUCCESS) {
                if (LSTATUS queried = queryValue(key.get(), step.name, stored); queried != ERROR_SUCCESS)
                    return failed(errorText(queried));
            }
            const bool textStored = stored && stored->type == REG_SZ;
            changesSomething |= step.wanted ? stored != step.wanted : textStored;
        }
        if (!changesSomething) {
            reload();
            return true;
        }
    }

    Key key;
    LSTATUS rc = RegCreateKeyExW(HKEY_CURRENT_USER, subKey->c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                 KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, key.out(), nullptr);
    if (rc != ERROR_SUCCESS)
        return failed(errorText(rc));
    // One value after another, each remembering what it replaced: when the
    // registry refuses one, those before it go back in reverse order.
    std::size_t done = 0;
    for (; done < steps.size(); ++done) {
        Step& step = steps[done];
        rc = queryValue(key.get(), step.name, step.previous);
        if (rc != ERROR_SUCCESS)
            break;
        const bool leaveAlone = !step.wanted && !(step.previous && step.previous->type == REG_SZ);
        if (leaveAlone || step.previous == step.wanted) {
            step.wanted = step.previous; // nothing to undo either
            continue;
        }
        rc = putValue(key.get(), step.name, step.wanted);
        if (rc != ERROR_SUCCESS)
            break;
    }
    if (rc != ERROR_SUCCESS) {
        while (done-- > 0)
            if (steps[done].wanted != steps[done].previous)
                putValue(key.get(), steps[done].name, steps[done].previous);
        const std::string why = errorText(rc);
        reload();
        return failed(why);
    }
    reload();
    return true;
}

} // namespace zumi
