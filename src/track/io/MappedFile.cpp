#include "track/io/MappedFile.h"

#include "track/io/SigbusGuard.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>
#include <utility>

namespace vek::track::io {
namespace {

class Fd {
 public:
  explicit Fd(int fd) noexcept : fd_(fd) {}
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  int get() const noexcept { return fd_; }

 private:
  int fd_;
};

IoError failure(const std::filesystem::path& path, const char* what, int code) {
  return {path.string() + ": " + what, std::string(what) + ": " + std::strerror(code)};
}

}  // namespace

std::optional<MappedFile> MappedFile::open(const std::filesystem::path& path, IoError& error) {
  // Non-blocking, so that a FIFO or a device named like a clip cannot stall
  // the open; the type check below then refuses it.
  const Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
  if (fd.get() < 0) {
    error = failure(path, errno == ENOENT ? "no such file" : "cannot be read", errno);
    return std::nullopt;
  }
  struct stat info {};
  if (::fstat(fd.get(), &info) != 0) {
    error = failure(path, "cannot be read", errno);
    return std::nullopt;
  }
  if (!S_ISREG(info.st_mode)) {
    error = failure(path, S_ISDIR(info.st_mode) ? "is a folder, not a clip" : "is not a regular file", EINVAL);
    return std::nullopt;
  }
  MappedFile file;
  if (info.st_size == 0) return file;
  const auto size = static_cast<std::size_t>(info.st_size);
  // The parsers read the whole clip front to back: populate the map up front.
  void* at = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd.get(), 0);
  if (at == MAP_FAILED) {
    error = failure(path, "cannot be mapped", errno);
    return std::nullopt;
  }
  file.bytes_ = Bytes(static_cast<const std::byte*>(at), size);
  file.guard_slot_ = SigbusGuard::watch(file.bytes_.data(), size);
  return file;
}

MappedFile::MappedFile(MappedFile&& other) noexcept
    : bytes_(std::exchange(other.bytes_, {})), guard_slot_(std::exchange(other.guard_slot_, -1)) {}

MappedFile& MappedFile::operator=(MappedFile&& other) noexcept {
  if (this != &other) {
    unmap();
    bytes_ = std::exchange(other.bytes_, {});
    guard_slot_ = std::exchange(other.guard_slot_, -1);
  }
  return *this;
}

bool MappedFile::intact() const noexcept {
  return !SigbusGuard::faulted(guard_slot_);
}

MappedFile::~MappedFile() {
  unmap();
}

void MappedFile::unmap() noexcept {
  SigbusGuard::forget(guard_slot_);
  guard_slot_ = -1;
  if (!bytes_.empty()) ::munmap(const_cast<std::byte*>(bytes_.data()), bytes_.size());
  bytes_ = {};
}

}  // namespace vek::track::io
