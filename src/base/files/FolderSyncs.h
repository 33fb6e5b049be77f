#pragma once
// Folder syncs gathered over many published files. A rename is durable only
// once its folder is synced, and each such sync costs as much as reading a
// clip's GPS boxes; a writer of many files in one folder (an intake of a
// card) hands its folders here and syncs them once per batch instead of once
// per file. Each file's own data is flushed before its rename whatever the
// batch, so a crash before the batch's sync can lose the last renames (the
// previous file, or none, stays under the name), never leave a partial file.
// Thread-safe.

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <mutex>
#include <optional>
#include <set>

namespace vek::base {

class FolderSyncs {
 public:
  using Clock = std::chrono::steady_clock;

  // A rename in `folder` waits for the next sync.
  void add(const std::filesystem::path& folder);
  // Syncs every folder added since the last sync, each once; returns how
  // many. Best effort, as a folder sync of a single publish is.
  std::size_t sync();
  // Whether the oldest rename not yet synced is at least `age` old.
  bool due(Clock::duration age) const;
  std::size_t pending() const;

 private:
  mutable std::mutex mutex_;
  std::set<std::filesystem::path> folders_;
  std::optional<Clock::time_point> oldest_;
};

// Makes the renames in `folder` durable now.
void sync_folder(const std::filesystem::path& folder);

}  // namespace vek::base
