#pragma once
// Positioned reads of a clip file (pread), with the kernel's read-ahead off:
// reading a few boxes of a large clip must not pull in the media around them.
// Many ranges at once go straight to the device where it allows, else
// through the page cache after one read-ahead hint each.

#include "track/container/ByteSource.h"
#include "track/io/IoError.h"

#include <filesystem>
#include <memory>
#include <span>

namespace vek::track::io {

class FileSource final : public container::ByteSource {
 public:
  // Opens a regular file; nothing, with `error` filled in, otherwise.
  static std::unique_ptr<FileSource> open(const std::filesystem::path& path, IoError& error);

  FileSource(const FileSource&) = delete;
  FileSource& operator=(const FileSource&) = delete;
  ~FileSource() override;

  std::uint64_t size() const noexcept override { return size_; }
  bool read(std::uint64_t offset, std::span<std::byte> out) override;
  void prefetch(std::uint64_t offset, std::uint64_t n) override;
  bool read_ranges(std::span<const container::ByteRange> ranges, const container::RangeVisitor& visit) override;

 private:
  FileSource(int fd, std::uint64_t size) noexcept;
  // Whether the page holding `offset` is in the page cache.
  bool cached(std::uint64_t offset) const;

  int fd_;
  std::uint64_t size_;
  int direct_fd_ = -1;  // opened on the first ranges read
  bool direct_tried_ = false;
};

}  // namespace vek::track::io
