#include "ini_format.h"

#include "numbers.h"

#include <algorithm>

namespace zumi::ini {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool isBlank(char c) { return c == ' ' || c == '\t'; }
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
        case '\\': out += '\\'; break;
        case '"': out += '"'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
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
        default: return std::nullopt;
        }
    }
    return out;
}

void classify(Line& line, std::string& currentSection, bool firstLine)
{
    std::string_view body = line.text;
    if (firstLine && body.substr(0, kByteOrderMark.size()) == kByteOrderMark)
        body.remove_prefix(kByteOrderMark.size());
    const std::string_view trimmed = trimBlanks(body);
    if (trimmed.empty()) {
        line.kind = LineKind::Blank;
    } else if (trimmed.front() == ';' || trimmed.front() == '#') {
        line.kind = LineKind::Comment;
    } else if (trimmed.front() == '[' && trimmed.back() == ']' && trimmed.size() >= 2) {
        line.kind = LineKind::Section;
        currentSection = std::string(trimBlanks(trimmed.substr(1, trimmed.size() - 2)));
    } else if (const auto equals = trimmed.find('='); equals != std::string_view::npos
               && !trimBlanks(trimmed.substr(0, equals)).empty()) {
        line.kind = LineKind::Entry;
        line.key = std::string(trimBlanks(trimmed.substr(0, equals)));
        line.value = decodeValue(trimBlanks(trimmed.substr(equals + 1)));
    } else {
        line.kind = LineKind::Other;
    }
    line.section = currentSection;
}

std::string defaultEol(const Document& document)
{
    for (const auto& line : document.lines)
        if (!line.eol.empty() && line.eol.back() == '\n')
            return line.eol;
    return "\n";
}

// Gives a line that ends the text a line end, so a line can follow it.
void endLine(Line& line, const std::string& eol)
{
    if (line.eol.empty())
        line.eol = eol;
    else if (line.eol.back() != '\n')
        line.eol += '\n'; // a lone CR at the very end
}

Line makeLine(LineKind kind, std::string text, std::string_view section, std::string eol)
{
    Line line;
    line.kind = kind;
    line.text = std::move(text);
    line.eol = std::move(eol);
    line.section = std::string(section);
    return line;
}

} // namespace

Document parse(std::string_view text)
{
    Document document;
    std::string currentSection;
    std::size_t start = 0;
    while (start < text.size()) {
        Line line;
        const std::size_t newline = text.find('\n', start);
        std::string_view body;
        if (newline == std::string_view::npos) {
            body = text.substr(start);
            start = text.size();
        } else {
            body = text.substr(start, newline - start);
            line.eol = "\n";
            start = newline + 1;
        }
        if (!body.empty() && body.back() == '\r') {
            body.remove_suffix(1);
            line.eol.insert(0, "\r");
        }
        line.text = std::string(body);
        classify(line, currentSection, document.lines.empty());
        document.lines.push_back(std::move(line));
    }
    return document;
}

std::string format(const Document& document)
{
    std::string out;
    for (const auto& line : document.lines) {
        out += line.text;
        out += line.eol;
    }
    return out;
}

std::map<std::string, std::string> entries(const Document& document, std::string_view section)
{
    std::map<std::string, std::string> result;
    for (const auto& line : document.lines)
        if (line.kind == LineKind::Entry && line.section == section)
            result[line.key] = line.value;
    return result;
}

std::map<std::string, std::string> readSection(std::string_view text, std::string_view section)
{
    return entries(parse(text), section);
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

void setValue(Document& document, std::string_view section, const std::string& key,
              const std::optional<std::string>& value)
{
    auto& lines = document.lines;
    const auto isThisKey = [&](const Line& line) {
        return line.kind == LineKind::Entry && line.section == section && line.key == key;
    };
    if (!value) {
        lines.erase(std::remove_if(lines.begin(), lines.end(), isThisKey), lines.end());
        return;
    }
    const std::string eol = defaultEol(document);
    const std::string text = key + "=" + encodeValue(*value);

    // Rewrite the line that wins; earlier ones stay as they were, unseen.
    for (auto it = lines.rbegin(); it != lines.rend(); ++it) {
        if (isThisKey(*it)) {
            it->text = text;
            it->value = *value;
            return;
        }
    }
    Line entry = makeLine(LineKind::Entry, text, section, eol);
    entry.key = key;
    entry.value = *value;

    // Right after the section's last key (or its header), so blank lines and
    // comments that lead into the next section stay with it.
    std::optional<std::size_t> last;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const bool keyOrHeader = lines[i].kind == LineKind::Entry || lines[i].kind == LineKind::Section;
        if (keyOrHeader && lines[i].section == section)
            last = i;
    }
    if (last) {
        endLine(lines[*last], eol);
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(*last + 1), std::move(entry));
        return;
    }
    if (!lines.empty()) {
        endLine(lines.back(), eol);
        if (lines.back().kind != LineKind::Blank)
            lines.push_back(makeLine(LineKind::Blank, "", lines.back().section, eol));
    }
    lines.push_back(makeLine(LineKind::Section, "[" + std::string(section) + "]", section, eol));
    lines.push_back(std::move(entry));
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
        case '\\': out += "\\\\"; break;
        case '"': out += "\\\""; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
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
