#pragma once
#include <cstddef>
#include <cstdint>

namespace zumi::rasapi {

// The wide RAS records in their 64-bit layout, packed to 4 bytes as ras.h
// packs them. Declared here rather than taken from ras.h, whose records grow
// with WINVER: the size written into dwSize must be one RAS knows.
#pragma pack(push, 4)

// RASCONNW as of Windows NT 4 (WINVER 0x400).
struct RasConnV400 {
    std::uint32_t dwSize;
    std::uint64_t hrasconn; // HRASCONN
    wchar_t szEntryName[257];
    wchar_t szDeviceType[17];
    wchar_t szDeviceName[129];
};

// RASCONNW before it: handle and name only.
struct RasConnOld {
    std::uint32_t dwSize;
    std::uint64_t hrasconn;
    wchar_t szEntryName[257];
};

struct RasConnStatusV400 {
    std::uint32_t dwSize;
    std::uint32_t rasconnstate;
    std::uint32_t dwError;
    wchar_t szDeviceType[17];
    wchar_t szDeviceName[129];
};

struct RasEntryNameV400 {
    std::uint32_t dwSize;
    wchar_t szEntryName[257];
};

struct RasStats {
    std::uint32_t dwSize;
    std::uint32_t dwBytesXmited;
    std::uint32_t dwBytesRcved;
    std::uint32_t rest[12]; // frames, errors, compression, speed, duration
};

#pragma pack(pop)

static_assert(sizeof(wchar_t) == 2, "RAS text is UTF-16");
static_assert(sizeof(RasConnV400) == 820 && offsetof(RasConnV400, szEntryName) == 12);
static_assert(sizeof(RasConnOld) == 528 && offsetof(RasConnOld, szEntryName) == 12);
static_assert(sizeof(RasConnStatusV400) == 304);
static_assert(sizeof(RasEntryNameV400) == 520);
static_assert(sizeof(RasStats) == 60);

// Records per enumeration buffer.
inline constexpr std::uint32_t kRecords = 256;

// RAS's error numbers that this backend tells apart.
inline constexpr std::uint32_t kErrorBufferTooSmall = 603;
inline constexpr std::uint32_t kErrorInvalidSize = 632;

} // namespace zumi::rasapi
