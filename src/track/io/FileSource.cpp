#include "track/io/FileSource.h"

#include "track/io/DirectReads.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

namespace vek::track::io {
namespace {

IoError failure(const std::filesystem::path& path, const char* what, int code) {
  return {path.string() + ": " + what, std::string(what) + ": " + std::strerror(code)};
}

}  // namespace

bool FileSource::cached(std::uint64_t offset) const {
  // A map and mincore ask the page cache without reading: a read, even one
  // that may not wait, starts fetching the page.
  const auto page = static_cast<std::uint64_t>(::sysconf(_SC_PAGESIZE));
  const std::uint64_t start = offset / page * page;
  if (start >= size_) return false;
  void* map = ::mmap(nullptr, page, PROT_READ, MAP_SHARED, fd_, static_cast<off_t>(start));
  if (map == MAP_FAILED) return false;
  unsigned char resident = 0;
  const bool in_cache = ::mincore(map, page, &resident) == 0 && (resident & 1U) != 0;
  ::munmap(map, page);
  return in_cache;
}

std::unique_ptr<FileSource> FileSource::open(const std::filesystem::path& path, IoError& error) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);  // a FIFO must not block the open
  if (fd < 0) {
    error = failure(path, errno == ENOENT ? "no such file" : "cannot be read", errno);
    return nullptr;
  }
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    const int code = errno;
    error = failure(path, S_ISDIR(info.st_mode) ? "is a folder, not a clip" : "is not a regular file",
                    code != 0 ? code : EINVAL);
    ::close(fd);
    return nullptr;
  }
  ::posix_fadvise(fd, 0, 0, POSIX_FADV_RANDOM);
  return std::unique_ptr<FileSource>(new FileSource(fd, static_cast<std::uint64_t>(info.st_size)));
}

FileSource::FileSource(int fd, std::uint64_t size) noexcept : fd_(fd), size_(size) {}

FileSource::~FileSource() {
  if (direct_fd_ >= 0) ::close(direct_fd_);
  ::close(fd_);
}

bool FileSource::read(std::uint64_t offset, std::span<std::byte> out) {
  if (offset > size_ || out.size() > size_ - offset) return false;
  std::size_t done = 0;
  while (done < out.size()) {
    const ssize_t n = ::pread(fd_, out.data() + done, out.size() - done, static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;  // an error, or the file shrank while read
    done += static_cast<std::size_t>(n);
  }
  return true;
}

void FileSource::prefetch(std::uint64_t offset, std::uint64_t n) {
  ::posix_fadvise(fd_, static_cast<off_t>(offset), static_cast<off_t>(n), POSIX_FADV_WILLNEED);
}

bool FileSource::read_ranges(std::span<const container::ByteRange> ranges, const container::RangeVisitor& visit) {
  if (!direct_tried_ && !ranges.empty()) {
    direct_tried_ = true;
    // A clip in the page cache (just copied, or read before) is read from there.
    if (!cached(ranges.front().offset)) direct_fd_ = open_direct(fd_);
  }
  DirectReads* reads = direct_fd_ >= 0 ? DirectReads::for_this_thread() : nullptr;
  const DirectReads::Outcome direct =
      reads != nullptr ? reads->read(direct_fd_, ranges, visit) : DirectReads::Outcome{};
  if (direct.stopped || direct.visited == ranges.size()) return true;
  // The rest through the page cache, which also tells a failing file from a refused direct read.
  const std::size_t done = direct.visited;
  return ByteSource::read_ranges(ranges.subspan(done),
                                 [&visit, done](std::size_t index, Bytes bytes) { return visit(done + index, bytes); });
}

}  // namespace vek::track::io
