#pragma once
#include <locale>
#include <string>
#include <vector>

namespace zumi {

// The user's locale from the environment; the classic locale when the
// environment names one that is not installed.
std::locale userLocale();

// Sorts entry names as a sorted list box shows them: case-insensitively by the
// locale's collation. Names that differ only in case keep a fixed order
// (by collation, then byte by byte), so the result never depends on the input order.
void sortPhonebookNames(std::vector<std::string>& names, const std::locale& locale);

} // namespace zumi
