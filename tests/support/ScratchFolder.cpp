#include "support/ScratchFolder.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <set>
#include <stdexcept>
#include <system_error>
#include <vector>

namespace vek::test {

ScratchFolder::ScratchFolder(std::string_view label) {
  std::string pattern = (std::filesystem::temp_directory_path() / label).string();
  pattern += "-XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  if (::mkdtemp(name.data()) == nullptr) throw std::runtime_error("cannot make a scratch folder: " + pattern);
  path_ = name.data();
}

// VEK_KEEP_SCRATCH=1 leaves the folders behind, to read what a program wrote.
ScratchFolder::~ScratchFolder() {
  if (std::getenv("VEK_KEEP_SCRATCH") != nullptr) return;
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::filesystem::path ScratchFolder::write(std::string_view relative, std::string_view content) const {
  const std::filesystem::path file = path_ / relative;
  std::filesystem::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary) << content;
  return file;
}

std::string ScratchFolder::read(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string ScratchFolder::names(const std::filesystem::path& folder) {
  std::set<std::string> sorted;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    sorted.insert(entry.path().filename().string());
  }
  std::string out;
  for (const std::string& name : sorted)
    out += (out.empty() ? "" : " ") + name;
  return out;
}

}  // namespace vek::test
