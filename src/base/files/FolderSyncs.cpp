#include "base/files/FolderSyncs.h"

#include <fcntl.h>
#include <unistd.h>

#include <utility>

namespace vek::base {

void sync_folder(const std::filesystem::path& folder) {
  const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd >= 0) {
    ::fsync(fd);
    ::close(fd);
  }
}

void FolderSyncs::add(const std::filesystem::path& folder) {
  const std::lock_guard lock(mutex_);
  folders_.insert(folder);
  if (!oldest_) oldest_ = Clock::now();
}

// The folders are taken out first: syncing does not hold up writers adding more.
std::size_t FolderSyncs::sync() {
  std::set<std::filesystem::path> folders;
  {
    const std::lock_guard lock(mutex_);
    folders = std::exchange(folders_, {});
    oldest_.reset();
  }
  for (const std::filesystem::path& folder : folders)
    sync_folder(folder);
  return folders.size();
}

bool FolderSyncs::due(Clock::duration age) const {
  const std::lock_guard lock(mutex_);
  return oldest_ && Clock::now() - *oldest_ >= age;
}

std::size_t FolderSyncs::pending() const {
  const std::lock_guard lock(mutex_);
  return folders_.size();
}

}  // namespace vek::base
