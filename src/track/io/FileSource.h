#pragma once
// Positioned reads of a clip file (pread), with the kernel's read-ahead off:
// reading a few boxes of a large clip must not pull in the media around them.

#include "track/container/ByteSource.h"
#include "track/io/IoError.h"

#include <filesystem>
#include <memory>

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

 private:
  FileSource(int fd, std::uint64_t size) noexcept : fd_(fd), size_(size) {}

  int fd_;
  std::uint64_t size_;
};

}  // namespace vek::track::io
