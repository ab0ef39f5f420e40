#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The settings file's text format: "[Section]" headers and "key=value" lines,
// readable and editable by hand. An edit rewrites only the lines it changes,
// so lines this program does not understand survive a save byte for byte.
//
// Values are stored raw after the first "=" (blanks around them are ignored
// when reading). A value that would not survive that - blanks at either end,
// a leading double quote, or control characters such as a line break - is
// written in double quotes with backslash escapes: \\ \" \n \r \t and \xHH.
// A quoted text that is malformed reads as the raw text.
//
// Nothing is kept per line but what a lookup needs, so a large file costs
// little more than its own size.
namespace zumi::ini {

enum class LineKind { Blank, Comment, Section, Entry, Other };

// One line, as views into the text it was read from.
struct Line {
    LineKind kind = LineKind::Other;
    std::size_t start = 0;    // offset of the line in the text
    std::string_view body;    // the line without its line end
    std::string_view eol;     // "\n", "\r\n", "\r" (a lone CR at the very end) or ""
    std::string_view section; // the section the line is in ("" before the first header); a header's own name
    std::string_view key;     // Entry only
    std::string_view stored;  // Entry only, as written (decodeValue gives the text)
};

// Reads a text line by line; any text reads, lines not understood are Other.
class LineReader {
public:
    explicit LineReader(std::string_view text)
        : text_(text)
    {
    }
    bool next(Line& line);

private:
    std::string_view text_;
    std::size_t position_ = 0;
    std::string_view section_;
};

// The entries of every section of one name, a later line winning, sorted by
// key. Views into the text it was built from, which must outlive it.
class SectionIndex {
public:
    SectionIndex() = default;
    SectionIndex(std::string_view text, std::string_view section);

    std::optional<std::string> read(std::string_view key) const;
    std::vector<std::string> keys() const;
    std::size_t size() const { return entries_.size(); }

private:
    struct Entry {
        std::uint32_t key, keyLength, stored, storedLength;
    };
    std::string_view keyOf(const Entry& entry) const { return text_.substr(entry.key, entry.keyLength); }

    std::string_view text_;
    std::vector<Entry> entries_;
};

using Change = std::pair<std::string, std::optional<std::string>>; // nullopt removes the key

// The text with the changes applied to the section. Setting a key rewrites
// the line that wins, else adds one after the section's last key or header,
// else adds the section at the end. Removing a key takes every line of it.
// Of two changes of one key the later counts. Every key must be storable.
std::string applyChanges(std::string_view text, std::string_view section, const std::vector<Change>& changes);

// Whether a key can be stored so that it reads back the same: not empty, no
// "=", no control characters, no blanks at either end, and not starting like
// a comment or a section header.
bool isStorableKey(std::string_view key);

std::string encodeValue(std::string_view value);
std::string decodeValue(std::string_view stored);

} // namespace zumi::ini
