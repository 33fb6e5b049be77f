#pragma once
// vek-track export: clips to one route file on standard output.

#include <string>
#include <vector>

namespace vek::track::cli {

// Exit status: 0 written, 1 a clip could not be read or output failed, 2 usage.
int run_export(const std::vector<std::string>& args);

}  // namespace vek::track::cli
