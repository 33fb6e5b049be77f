#pragma once
// Where the library lives under the home directory, and its preparation at
// every page load.

#include <functional>
#include <string>
#include <string_view>

namespace vek::library {

// Writes a whole file atomically (a temporary file then takes its place);
// false on failure, with any previous file left as it was.
using FileWriter = std::function<bool(const std::string& path, std::string_view text)>;

// The settings the page starts from: kilometres, English.
inline constexpr std::string_view kDefaultSettings = "km,ENG";

// "~/VEK/data": track data files and the settings file.
std::string library_folder(std::string_view home);
// "~/VEK/files": snapshots, exports and screen recordings.
std::string output_folder(std::string_view home);
// "~/VEK/data/ini.txt".
std::string settings_file(std::string_view home);

// Creates both folders (and their parent), removes the temporary files that
// interrupted writers left in them, then writes the default settings
// when nothing exists at the settings path. Failures are left for the later
// writes to meet; the page is told the clip list regardless.
void ensure_library(std::string_view home, const FileWriter& write);

// Anything at all (file, folder, or a link to one) exists at `path`.
bool something_exists(const std::string& path);

}  // namespace vek::library
