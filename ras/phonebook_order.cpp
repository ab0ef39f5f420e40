#include "ras/phonebook_order.h"

#include <algorithm>
#include <cwchar>
#include <cwctype>

namespace zumi {
namespace {

// Entry names are file names: UTF-8 as a rule, but any bytes may occur.
// A byte that does not start a valid sequence stands for itself.
std::wstring decodeUtf8(const std::string& text)
{
    std::wstring out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        int extra = 0;
        char32_t cp = lead;
        if (lead >= 0xC2 && lead <= 0xDF) {
            extra = 1;
            cp = lead & 0x1Fu;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            extra = 2;
            cp = lead & 0x0Fu;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            extra = 3;
            cp = lead & 0x07u;
        }
        bool valid = i + static_cast<std::size_t>(extra) < text.size();
        for (int k = 1; valid && k <= extra; ++k) {
            const auto next = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
            if ((next & 0xC0u) != 0x80u)
                valid = false;
            else
                cp = (cp << 6) | (next & 0x3Fu);
        }
        const bool overlong = (extra == 2 && cp < 0x800) || (extra == 3 && cp < 0x10000);
        if (!valid || overlong || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            out.push_back(static_cast<wchar_t>(lead));
            ++i;
            continue;
        }
        out.push_back(static_cast<wchar_t>(cp));
        i += static_cast<std::size_t>(extra) + 1;
    }
    return out;
}

struct SortKey {
    std::wstring folded;
    std::wstring wide;
    const std::string* original;
};

} // namespace

// The C library's collation rather than a named std::locale: building one
// constructs every facet of the locale, a third of a megabyte of code that a
// meter keeps resident for a sort.
void sortPhonebookNames(std::vector<std::string>& names)
{
    std::vector<SortKey> keys;
    keys.reserve(names.size());
    for (const std::string& name : names) {
        SortKey key{{}, decodeUtf8(name), &name};
        key.folded = key.wide;
        for (wchar_t& c : key.folded)
            c = static_cast<wchar_t>(std::towlower(static_cast<std::wint_t>(c)));
        keys.push_back(std::move(key));
    }
    // A NUL would end a name for the collation; the bytes behind it still break the tie.
    const auto compare
        = [](const std::wstring& a, const std::wstring& b) { return std::wcscoll(a.c_str(), b.c_str()); };
    std::sort(keys.begin(), keys.end(), [&](const SortKey& a, const SortKey& b) {
        if (const int c = compare(a.folded, b.folded); c != 0)
            return c < 0;
        if (const int c = compare(a.wide, b.wide); c != 0)
            return c < 0;
        return *a.original < *b.original;
    });

    std::vector<std::string> sorted;
    sorted.reserve(keys.size());
    for (const SortKey& key : keys)
        sorted.push_back(*key.original);
    names = std::move(sorted);
}

} // namespace zumi
