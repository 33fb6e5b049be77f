#include "track/io/MovieDuration.h"

#include "track/MovieHeader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <array>
#include <cstdint>
#include <vector>

namespace vek::track::io {
namespace {

constexpr std::uint64_t kMaxMovieBox = std::uint64_t{16} << 20;  // camera movie boxes are a few hundred KiB
constexpr int kMaxTopLevelBoxes = 1024;
constexpr std::size_t kHeader = 16;

class ReadFd {
 public:
  explicit ReadFd(const std::filesystem::path& path) : fd_(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK)) {}
  ReadFd(const ReadFd&) = delete;
  ReadFd& operator=(const ReadFd&) = delete;
  ~ReadFd() {
    if (fd_ >= 0) ::close(fd_);
  }
  int get() const noexcept { return fd_; }

 private:
  int fd_;
};

bool read_at(int fd, std::span<std::byte> into, std::uint64_t at) {
  const ssize_t got = ::pread(fd, into.data(), into.size(), static_cast<off_t>(at));
  return got == static_cast<ssize_t>(into.size());
}

std::uint64_t big_endian(std::span<const std::byte> bytes) {
  std::uint64_t value = 0;
  for (const std::byte b : bytes)
    value = (value << 8U) | static_cast<std::uint64_t>(b);
  return value;
}

// The size of the top-level box at `at`, or 0 when it cannot be walked.
std::uint64_t box_size(const std::array<std::byte, kHeader>& header, std::uint64_t at, std::uint64_t file_size) {
  const std::uint64_t size = big_endian(std::span(header).first(4));
  if (size == 0) return file_size - at;
  if (size == 1) return big_endian(std::span(header).subspan(8, 8));
  return size;
}

bool is_movie_box(const std::array<std::byte, kHeader>& header) {
  return static_cast<char>(header[4]) == 'm' && static_cast<char>(header[5]) == 'o' &&
         static_cast<char>(header[6]) == 'o' && static_cast<char>(header[7]) == 'v';
}

std::optional<double> duration_of_movie_box(int fd, std::uint64_t at, std::uint64_t size) {
  if (size > kMaxMovieBox) return std::nullopt;
  std::vector<std::byte> box(static_cast<std::size_t>(size));
  if (!read_at(fd, box, at)) return std::nullopt;
  return movie_duration_seconds(box);
}

}  // namespace

std::optional<double> clip_movie_duration(const std::filesystem::path& clip) {
  const ReadFd fd(clip);
  struct stat info {};
  if (fd.get() < 0 || ::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
  const auto file_size = static_cast<std::uint64_t>(info.st_size);
  std::uint64_t at = 0;
  for (int visited = 0; visited < kMaxTopLevelBoxes && file_size - at >= 8; ++visited) {
    std::array<std::byte, kHeader> header{};
    if (!read_at(fd.get(), std::span(header).first(std::min<std::uint64_t>(kHeader, file_size - at)), at))
      return std::nullopt;
    const std::uint64_t size = box_size(header, at, file_size);
    if (size < 8 || size > file_size - at) return std::nullopt;
    if (is_movie_box(header)) return duration_of_movie_box(fd.get(), at, size);
    at += size;
  }
  return std::nullopt;
}

}  // namespace vek::track::io
