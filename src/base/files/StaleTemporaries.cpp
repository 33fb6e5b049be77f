#include "base/files/StaleTemporaries.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

#include "base/files/TemporaryName.h"

namespace vek::base {
namespace {

bool process_gone(pid_t pid) {
  return ::kill(pid, 0) != 0 && errno == ESRCH;
}

// Ours are locked for as long as their writer lives; the lock is released
// by the kernel however the writer ended.
bool unlocked(const std::filesystem::path& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  const bool free = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
  ::close(fd);
  return free;
}

bool stale(const std::filesystem::directory_entry& entry) {
  const std::string name = entry.path().filename().string();
  const std::optional<pid_t> owner = temporary_owner(name);
  std::error_code error;
  if (!owner || !entry.is_regular_file(error)) return false;
  return name.starts_with(kTemporaryPrefix) ? unlocked(entry.path()) : process_gone(*owner);
}

}  // namespace

int remove_stale_temporaries(const std::filesystem::path& folder) {
  std::error_code error;
  std::filesystem::directory_iterator entries(folder, error);
  int removed = 0;
  for (; !error && entries != std::filesystem::directory_iterator(); entries.increment(error)) {
    if (stale(*entries) && ::unlink(entries->path().c_str()) == 0) ++removed;
  }
  return removed;
}

}  // namespace vek::base
