#pragma once
// The one way a file appears under its final name: written whole under a
// short hidden temporary name in the same folder, flushed, then renamed.
// Readers see the previous file (or none) until the new one is complete; a
// failure, a crash or a full disk never leaves a partial file under the
// final name. The temporary name is short whatever the final name is, so it
// always fits the file system's name limit, and it stays locked by its
// owner so that a later start can tell leftovers from files in use (see
// StaleTemporaries.h).

#include <cstddef>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "base/files/FolderSyncs.h"

namespace vek::base {

enum class PublishMode {
  Replace,    // track files, settings, snapshots: the new file takes the old one's place
  NoReplace,  // exports, recordings: an existing file is never touched
};

// What went wrong: a sentence for the user and the system's detail for a log.
struct FileError {
  std::string message;
  std::string detail;
};

class PendingFile {
 public:
  // Creates the empty, locked temporary file next to `target`; nullopt (and
  // `error`) when the folder cannot take it.
  static std::optional<PendingFile> create(std::filesystem::path target, PublishMode mode, FileError& error);

  PendingFile(PendingFile&& other) noexcept;
  PendingFile& operator=(PendingFile&& other) noexcept;
  PendingFile(const PendingFile&) = delete;
  PendingFile& operator=(const PendingFile&) = delete;
  // Removes the temporary file unless it was published.
  ~PendingFile();

  // For writers that open the file by name themselves (media pipelines).
  const std::filesystem::path& temp_path() const noexcept { return temp_; }
  const std::filesystem::path& target() const noexcept { return target_; }

  // Appends `bytes`; after a failure later writes do nothing and publish()
  // reports the first failure.
  bool write(std::string_view bytes);

  // Flushes, closes and renames to the target as the mode says; false (and
  // `error`) when any step or an earlier write failed, and the temporary file
  // is then removed. The folder is synced at once, or with `batch` when given.
  bool publish(FileError& error, FolderSyncs* batch = nullptr);

 private:
  friend std::size_t publish_together(std::span<PendingFile> files, FileError& error, FolderSyncs* batch);

  PendingFile(std::filesystem::path temp, std::filesystem::path target, PublishMode mode, int fd);
  void start_write_back() noexcept;
  bool flush();
  bool put_in_place();
  void fail(const char* what, int code);
  void discard() noexcept;

  std::filesystem::path temp_;
  std::filesystem::path target_;
  PublishMode mode_ = PublishMode::Replace;
  int fd_ = -1;
  bool failed_ = false;
  FileError error_;
};

// Publishes files that belong together (a track and its records) as one
// step: their write-back starts together and is waited for together, so they
// share the wait for the disk rather than each paying it, and only then are
// they renamed, in order. When a write or flush of any of them fails, none is
// renamed. A rename that fails stops the ones after it; those before it stay
// published, each whole. Returns how many were published from the front;
// fewer than all sets `error` to the first failure, and every temporary not
// published is removed. Folders are synced at once, or with `batch`.
std::size_t publish_together(std::span<PendingFile> files, FileError& error, FolderSyncs* batch = nullptr);

// Writes `bytes` as the whole of `target` through a PendingFile.
bool publish_file(const std::filesystem::path& target, std::string_view bytes, PublishMode mode,
                  FileError* error = nullptr, FolderSyncs* batch = nullptr);

}  // namespace vek::base
