#pragma once
// The library's folder names under the home directory, owned here alone:
// the track reader names track files in the data folder, and everyone else
// (the command line, the library, the application) asks here too.

#include <string_view>

namespace vek::track {

// Track data files and the page's settings file.
inline constexpr std::string_view kDataFolder = "VEK/data";
// Snapshots, merged exports and screen recordings.
inline constexpr std::string_view kFilesFolder = "VEK/files";

}  // namespace vek::track
