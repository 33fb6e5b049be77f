#pragma once
#include <filesystem>

namespace vek::track::io {

// $HOME, or the password database's entry when HOME is unset or empty.
std::filesystem::path home_directory();

}  // namespace vek::track::io
