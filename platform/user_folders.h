#pragma once
#include <filesystem>

namespace zumi {

// Where this user's files of the program lie, by the system's conventions.
// Neither is made here: their writers make the missing folders for this user alone.

// The settings file, Zumi/Zumi.conf in the user's configuration folder.
std::filesystem::path settingsFile();

// The call log's database, Zumi/calls.sqlite in the user's data folder.
std::filesystem::path callLogFile();

} // namespace zumi
