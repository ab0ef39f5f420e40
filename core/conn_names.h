#pragma once
#include <array>
#include <string>

namespace zumi {

// The phonebook entries in sorted order; the index is the connection index
// used by the tariff tables, the provider menu and activeConn.
inline constexpr int kMaxConnections = 30;
using ConnNames = std::array<std::string, kMaxConnections>;

// Marks a connection that has no slot: the table is full and holds no entry
// of that name. Never used to index; lookups by it find no tariff.
inline constexpr int kNoConnectionSlot = kMaxConnections;

// The first index whose entry equals name exactly or is empty; kNoConnectionSlot
// when all 30 entries are taken by other names.
int findConnectionSlot(const ConnNames& connNames, const std::string& name);

} // namespace zumi
