#pragma once
#include <string>
#include <vector>

namespace zumi {

// Sorts entry names as a sorted list box shows them: case-insensitively by the
// collation of the C library's current locale (the program takes it from the
// environment at start). Names that differ only in case keep a fixed order
// (by collation, then byte by byte), so the result never depends on the input order.
void sortPhonebookNames(std::vector<std::string>& names);

} // namespace zumi
