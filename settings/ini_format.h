#pragma once
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The settings file's text format: "[Section]" headers and "key=value" lines,
// readable and editable by hand. Every line is kept as found, so that lines
// this program does not understand survive a save unchanged.
//
// Values are stored raw after the first "=" (blanks around them are ignored
// when reading). A value that would not survive that - blanks at either end,
// a leading double quote, or control characters such as a line break - is
// written in double quotes with backslash escapes: \\ \" \n \r \t and \xHH.
// A quoted text that is malformed reads as the raw text.
namespace zumi::ini {

enum class LineKind { Blank, Comment, Section, Entry, Other };

struct Line {
    LineKind kind = LineKind::Other;
    std::string text;    // the line as found, without its line end
    std::string eol;     // "\n", "\r\n" or "" (last line without one)
    std::string section; // the section the line is in ("" before the first header); a header's own name
    std::string key;     // Entry only
    std::string value;   // Entry only, decoded
};

struct Document {
    std::vector<Line> lines;
};

// Never fails: any text parses, lines that are not understood become Other.
Document parse(std::string_view text);
std::string format(const Document& document);

// The keys and values of every section of that name; a later line wins.
std::map<std::string, std::string> entries(const Document& document, std::string_view section);
// parse() then entries(): text in, the section's values out.
std::map<std::string, std::string> readSection(std::string_view text, std::string_view section);

// Whether a key can be stored so that it reads back the same: not empty, no
// "=", no control characters, no blanks at either end, and not starting like
// a comment or a section header.
bool isStorableKey(std::string_view key);

// Sets (or with nullopt removes) a key of the section: rewrites the line that
// wins, else adds one after the section's last line, else adds the section at
// the end. The key must be storable.
void setValue(Document& document, std::string_view section, const std::string& key,
              const std::optional<std::string>& value);

std::string encodeValue(std::string_view value);
std::string decodeValue(std::string_view stored);

} // namespace zumi::ini
