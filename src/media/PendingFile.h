#pragma once
// A media file written under a hidden temporary name next to its final name
// and published by a rename that never replaces an existing file. A writer
// that fails or is abandoned leaves nothing under the final name.

#include <filesystem>
#include <optional>
#include <string>

namespace vek::media {

class PendingFile {
 public:
  // Creates the empty temporary file; nullopt (and `error`) when the folder
  // cannot take it.
  static std::optional<PendingFile> create(const std::filesystem::path& final_path, std::string& error);

  PendingFile(PendingFile&& other) noexcept;
  // Removes the temporary file held so far unless it was published.
  PendingFile& operator=(PendingFile&& other) noexcept;
  PendingFile(const PendingFile&) = delete;
  PendingFile& operator=(const PendingFile&) = delete;
  // Removes the temporary file unless it was published.
  ~PendingFile();

  const std::filesystem::path& temp_path() const { return temp_; }
  const std::filesystem::path& final_path() const { return final_; }

  // Moves the temporary file to the final name; false (and `error`) when the
  // final name exists or the rename fails. The temporary file is then removed.
  bool publish(std::string& error);

 private:
  PendingFile(std::filesystem::path temp, std::filesystem::path final_path);
  void discard() noexcept;

  std::filesystem::path temp_;
  std::filesystem::path final_;
  bool owned_ = true;
};

}  // namespace vek::media
