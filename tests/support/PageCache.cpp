#include "support/PageCache.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>

namespace vek::test {

void evict(const std::filesystem::path& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return;
  ::fdatasync(fd);
  ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
  ::close(fd);
}

std::uint64_t resident_bytes(const std::filesystem::path& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  const auto size = static_cast<std::size_t>(std::filesystem::file_size(path));
  void* map = fd < 0 ? MAP_FAILED : ::mmap(nullptr, size, PROT_READ, MAP_SHARED, fd, 0);
  std::uint64_t resident = 0;
  if (map != MAP_FAILED) {
    const auto page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    std::vector<unsigned char> pages((size + page - 1) / page);
    if (::mincore(map, size, pages.data()) == 0) {
      for (const unsigned char p : pages)
        resident += (p & 1U) * page;
    }
    ::munmap(map, size);
  }
  if (fd >= 0) ::close(fd);
  return resident;
}

}  // namespace vek::test
