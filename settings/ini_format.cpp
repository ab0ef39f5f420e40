#include "settings/ini_format.h"

#include "core/numbers.h"

#include <algorithm>
#include <unordered_map>

namespace zumi::ini {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}
bool isControl(char c)
{
    const auto u = static_cast<unsigned char>(c);
    return u < 0x20 || u == 0x7f;
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The contents of a quoted value, or nullopt when it is not one.
std::optional<std::string> unquote(std::string_view stored)
{
    if (stored.size() < 2 || stored.front() != '"' || stored.back() != '"')
        return std::nullopt;
    const std::string_view inner = stored.substr(1, stored.size() - 2);
    std::string out;
    out.reserve(inner.size());
    for (std::size_t i = 0; i < inner.size(); ++i) {
        const char c = inner[i];
        if (c == '"')
            return std::nullopt;
        if (c != '\\') {
            out += c;
            continue;
        }
        if (++i >= inner.size())
            return std::nullopt;
        switch (inner[i]) {
        case '\\':
            out += '\\';
            break;
        case '"':
            out += '"';
            break;
        case 'n':
            out += '\n';
            break;
        case 'r':
            out += '\r';
            break;
        case 't':
            out += '\t';
            break;
        case 'x': {
            if (i + 2 >= inner.size())
                return std::nullopt;
            const int high = hexDigit(inner[i + 1]);
            const int low = hexDigit(inner[i + 2]);
            if (high < 0 || low < 0)
                return std::nullopt;
            out += static_cast<char>(high * 16 + low);
            i += 2;
            break;
        }
        default:
            return std::nullopt;
        }
    }
    return out;
}

constexpr std::size_t kNone = static_cast<std::size_t>(-1);

std::string_view defaultEol(std::string_view text)
{
    const std::size_t newline = text.find('\n');
    if (newline != std::string_view::npos && newline > 0 && text[newline - 1] == '\r')
        return "\r\n";
    return "\n";
}

// A line end that lets another line follow.
std::string_view endOf(const Line& line, std::string_view eol)
{
    if (line.eol.empty())
        return eol;
    if (line.eol == "\r")
        return "\r\n";
    return line.eol;
}

struct Pending {
    const std::optional<std::string>* value = nullptr;
    std::size_t winner = kNone; // start of the line that wins today
};

} // namespace

bool LineReader::next(Line& line)
{
    if (position_ >= text_.size())
        return false;
    line = Line{};
    line.start = position_;
    const std::size_t newline = text_.find('\n', position_);
    std::size_t bodyEnd = newline == std::string_view::npos ? text_.size() : newline;
    position_ = newline == std::string_view::npos ? text_.size() : newline + 1;
    if (bodyEnd > line.start && text_[bodyEnd - 1] == '\r')
        --bodyEnd;
    line.body = text_.substr(line.start, bodyEnd - line.start);
    line.eol = text_.substr(bodyEnd, position_ - bodyEnd);

    std::string_view body = line.body;
    if (line.start == 0 && body.substr(0, kByteOrderMark.size()) == kByteOrderMark)
        body.remove_prefix(kByteOrderMark.size());
    const std::string_view trimmed = trimBlanks(body);
    if (trimmed.empty()) {
        line.kind = LineKind::Blank;
    } else if (trimmed.front() == ';' || trimmed.front() == '#') {
        line.kind = LineKind::Comment;
    } else if (trimmed.front() == '[' && trimmed.back() == ']' && trimmed.size() >= 2) {
        line.kind = LineKind::Section;
        section_ = trimBlanks(trimmed.substr(1, trimmed.size() - 2));
    } else if (const auto equals = trimmed.find('=');
               equals != std::string_view::npos && !trimBlanks(trimmed.substr(0, equals)).empty()) {
        line.kind = LineKind::Entry;
        line.key = trimBlanks(trimmed.substr(0, equals));
        line.stored = trimBlanks(trimmed.substr(equals + 1));
    }
    line.section = section_;
    return true;
}

SectionIndex::SectionIndex(std::string_view text, std::string_view section)
    : text_(text)
{
    const auto offset = [text](std::string_view part) { return static_cast<std::uint32_t>(part.data() - text.data()); };
    const auto size = [](std::string_view part) { return static_cast<std::uint32_t>(part.size()); };
    LineReader reader(text);
    for (Line line; reader.next(line);)
        if (line.kind == LineKind::Entry && line.section == section)
            entries_.push_back({offset(line.key), size(line.key), offset(line.stored), size(line.stored)});
    // Sorted by key, file order kept among equal keys; the last of each wins.
    std::stable_sort(entries_.begin(), entries_.end(),
                     [this](const Entry& a, const Entry& b) { return keyOf(a) < keyOf(b); });
    std::vector<Entry> winners;
    winners.reserve(entries_.size());
    for (std::size_t i = 0; i < entries_.size(); ++i)
        if (i + 1 == entries_.size() || keyOf(entries_[i + 1]) != keyOf(entries_[i]))
            winners.push_back(entries_[i]);
    entries_ = std::move(winners);
}

std::optional<std::string> SectionIndex::read(std::string_view key) const
{
    const auto it = std::lower_bound(entries_.begin(), entries_.end(), key,
                                     [this](const Entry& entry, std::string_view k) { return keyOf(entry) < k; });
    if (it == entries_.end() || keyOf(*it) != key)
        return std::nullopt;
    return decodeValue(text_.substr(it->stored, it->storedLength));
}

std::vector<std::string> SectionIndex::keys() const
{
    std::vector<std::string> result;
    result.reserve(entries_.size());
    for (const auto& entry : entries_)
        result.emplace_back(keyOf(entry));
    return result;
}

std::string applyChanges(std::string_view text, std::string_view section, const std::vector<Change>& changes)
{
    // The last change of each key, and the keys to add in the order first named.
    std::unordered_map<std::string_view, Pending> pending;
    std::vector<std::string_view> order;
    pending.reserve(changes.size());
    for (const auto& [key, value] : changes) {
        auto [it, added] = pending.try_emplace(key);
        it->second.value = &value;
        if (added)
            order.push_back(key);
    }
    const auto changeOf = [&](const Line& line) -> Pending* {
        if (line.kind != LineKind::Entry || line.section != section)
            return nullptr;
        const auto it = pending.find(line.key);
        return it == pending.end() ? nullptr : &it->second;
    };

    // First pass: the line each set key rewrites, and where new keys go - after
    // the section's last header or key that stays.
    std::size_t anchor = kNone;
    LineReader reader(text);
    for (Line line; reader.next(line);) {
        const bool header = line.kind == LineKind::Section && line.section == section;
        const bool entry = line.kind == LineKind::Entry && line.section == section;
        const Pending* change = changeOf(line);
        if (change && *change->value)
            pending.at(line.key).winner = line.start;
        if (header || (entry && !(change && !*change->value)))
            anchor = line.start;
    }

    const std::string_view eol = defaultEol(text);
    std::string out;
    out.reserve(text.size() + text.size() / 8 + 64);
    const auto addNew = [&] {
        for (const auto key : order) {
            const Pending& change = pending.at(key);
            if (!*change.value || change.winner != kNone)
                continue;
            out.append(key).append("=").append(encodeValue(**change.value)).append(eol);
        }
    };
    const bool anyNew = std::any_of(order.begin(), order.end(), [&](std::string_view key) {
        const Pending& change = pending.at(key);
        return *change.value && change.winner == kNone;
    });

    reader = LineReader(text);
    for (Line line; reader.next(line);) {
        const Pending* change = changeOf(line);
        if (change && !*change->value)
            continue;
        if (change && change->winner == line.start) {
            if (line.start == 0 && line.body.substr(0, kByteOrderMark.size()) == kByteOrderMark)
                out.append(kByteOrderMark);
            out.append(line.key).append("=").append(encodeValue(**change->value));
        } else {
            out.append(line.body);
        }
        if (line.start == anchor && anyNew) {
            out.append(endOf(line, eol));
            addNew();
        } else {
            out.append(line.eol);
        }
    }
    if (anchor == kNone && anyNew) {
        if (!out.empty()) {
            if (out.back() == '\r')
                out += '\n';
            else if (out.back() != '\n')
                out.append(eol);
            // A blank line before the new section, unless the text ends with one.
            std::string_view body(out.data(), out.size() - 1);
            if (!body.empty() && body.back() == '\r')
                body.remove_suffix(1);
            const std::size_t lineStart = body.rfind('\n');
            if (!trimBlanks(lineStart == std::string_view::npos ? body : body.substr(lineStart + 1)).empty())
                out.append(eol);
        }
        out.append("[").append(section).append("]").append(eol);
        addNew();
    }
    return out;
}

bool isStorableKey(std::string_view key)
{
    if (key.empty() || isBlank(key.front()) || isBlank(key.back()))
        return false;
    if (key.front() == ';' || key.front() == '#' || key.front() == '[')
        return false;
    if (key.substr(0, kByteOrderMark.size()) == kByteOrderMark)
        return false;
    return std::none_of(key.begin(), key.end(), [](char c) { return c == '=' || isControl(c); });
}

std::string encodeValue(std::string_view value)
{
    const bool needsQuotes = !value.empty()
        && (isBlank(value.front()) || isBlank(value.back()) || value.front() == '"'
            || std::any_of(value.begin(), value.end(), isControl));
    if (!needsQuotes)
        return std::string(value);
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out = "\"";
    for (const char c : value) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '"':
            out += "\\\"";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (isControl(c)) {
                const auto u = static_cast<unsigned char>(c);
                out += "\\x";
                out += kHex[u >> 4];
                out += kHex[u & 0x0f];
            } else {
                out += c;
            }
        }
    }
    out += '"';
    return out;
}

std::string decodeValue(std::string_view stored)
{
    if (auto unquoted = unquote(stored))
        return std::move(*unquoted);
    return std::string(stored);
}

} // namespace zumi::ini
