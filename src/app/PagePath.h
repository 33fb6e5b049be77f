#pragma once
// Where the page lies: next to the executable, in the same layout in the
// build tree and in an installation (bin/vek, share/vek/www/index.html).

#include <filesystem>

namespace vek::app {

std::filesystem::path page_path(const std::filesystem::path& executable);

// A path given on the command line, made absolute against the working folder.
std::filesystem::path absolute_clip_path(const std::filesystem::path& argument);

}  // namespace vek::app
