#include "track/io/FileSource.h"

#include <fcntl.h>
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

FileSource::~FileSource() {
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

}  // namespace vek::track::io
