#include "base/files/BoundedRead.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

namespace vek::base {
namespace {

class Descriptor {
 public:
  explicit Descriptor(int fd) noexcept : fd_(fd) {}
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  int get() const noexcept { return fd_; }

 private:
  int fd_;
};

FileError failure(const std::filesystem::path& path, const std::string& why, const std::string& detail) {
  return {path.string() + ": " + why, detail};
}

// Reads to the end, or up to one byte past the cap so that growth shows.
bool read_all(int fd, std::size_t max_bytes, std::string& text) {
  char buffer[1 << 16];
  while (text.size() <= max_bytes) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) break;
    text.append(buffer, static_cast<std::size_t>(n));
  }
  return true;
}

}  // namespace

std::optional<std::string> read_regular_file(const std::filesystem::path& path, std::size_t max_bytes,
                                             FileError& error) {
  // Non-blocking, so that opening a FIFO returns at once; fstat then refuses it.
  const Descriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
  struct stat info {};
  if (fd.get() < 0 || ::fstat(fd.get(), &info) != 0) {
    error = failure(path, "cannot be read", std::strerror(errno));
    return std::nullopt;
  }
  if (!S_ISREG(info.st_mode)) {
    error = failure(path, "not a regular file", "refused without reading");
    return std::nullopt;
  }
  if (static_cast<std::uintmax_t>(info.st_size) > max_bytes) {
    error = failure(path, "too large",
                    std::to_string(info.st_size) + " bytes, more than " + std::to_string(max_bytes) + " allowed");
    return std::nullopt;
  }
  std::string text;
  if (!read_all(fd.get(), max_bytes, text)) {
    error = failure(path, "cannot be read", std::strerror(errno));
    return std::nullopt;
  }
  if (text.size() > max_bytes) {
    error = failure(path, "too large", "grew past " + std::to_string(max_bytes) + " bytes while read");
    return std::nullopt;
  }
  return text;
}

}  // namespace vek::base
