#pragma once
// One fresh folder per test or benchmark run, removed with its contents when
// the object goes. Shared by every test tier and the benchmarks.

#include <filesystem>
#include <string>
#include <string_view>

namespace vek::test {

class ScratchFolder {
 public:
  // A new, empty folder under the system's temporary folder, whose name
  // starts with `label` (no "_": intake reads numbers from "_" pieces).
  explicit ScratchFolder(std::string_view label = "vek");
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  ~ScratchFolder();

  const std::filesystem::path& path() const noexcept { return path_; }
  std::filesystem::path operator/(std::string_view relative) const { return path_ / relative; }

  // Writes `content` at `relative` (folders made as needed); returns its path.
  std::filesystem::path write(std::string_view relative, std::string_view content) const;
  // The file's bytes, or "" when it cannot be read.
  static std::string read(const std::filesystem::path& file);
  // The names in the folder (hidden ones included), sorted.
  static std::string names(const std::filesystem::path& folder);

 private:
  std::filesystem::path path_;
};

}  // namespace vek::test
