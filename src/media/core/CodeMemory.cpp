#include "media/core/CodeMemory.h"

#include <sys/statvfs.h>
#include <unistd.h>

#include <array>
#include <cstdlib>

namespace vek::media {
namespace {

FolderState probe_folder(const std::string& folder) {
  struct statvfs info {};
  if (::access(folder.c_str(), W_OK | X_OK) != 0 || ::statvfs(folder.c_str(), &info) != 0) {
    return {};
  }
  return {true, static_cast<std::uint64_t>(info.f_bavail) * info.f_frsize};
}

}  // namespace

bool generated_code_is_safe(const char* runtime_dir, const char* home, const char* tmpdir, const FolderProbe& probe) {
  const std::array<const char*, 4> order = {runtime_dir, home, tmpdir, "/tmp"};
  for (const char* folder : order) {
    if (folder == nullptr || *folder == '\0') {
      continue;
    }
    const FolderState state = probe(folder);
    if (state.writable) {
      return state.free_bytes >= kCodeMemoryHeadroom;
    }
  }
  return true;
}

void keep_code_generation_off_full_disks() {
  if (std::getenv("ORC_CODE") != nullptr) {
    return;
  }
  if (!generated_code_is_safe(std::getenv("XDG_RUNTIME_DIR"), std::getenv("HOME"), std::getenv("TMPDIR"),
                              probe_folder)) {
    ::setenv("ORC_CODE", "backup", 0);
  }
}

}  // namespace vek::media
