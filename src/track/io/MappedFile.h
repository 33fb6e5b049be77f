#pragma once
// A clip's bytes through a read-only memory map: one block, as the parsers
// expect, without copying it onto the heap.
//
// The map shares the file's pages: when the file shrinks while mapped, the
// lost part reads as zeros (SigbusGuard) and intact() turns false.

#include "track/ByteReader.h"
#include "track/io/IoError.h"

#include <filesystem>
#include <optional>

namespace vek::track::io {

class MappedFile {
 public:
  // Maps the file; an empty file gives empty bytes. A missing file, a folder
  // or an unreadable file gives nothing, with `error` filled in.
  static std::optional<MappedFile> open(const std::filesystem::path& path, IoError& error);

  MappedFile(MappedFile&& other) noexcept;
  MappedFile& operator=(MappedFile&& other) noexcept;
  MappedFile(const MappedFile&) = delete;
  MappedFile& operator=(const MappedFile&) = delete;
  ~MappedFile();

  Bytes bytes() const noexcept { return bytes_; }
  // False once part of the file was lost while mapped: the bytes are not the clip's.
  bool intact() const noexcept;

 private:
  MappedFile() = default;
  void unmap() noexcept;

  Bytes bytes_;
  int guard_slot_ = -1;
};

}  // namespace vek::track::io
