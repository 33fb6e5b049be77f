#pragma once
// One buffer reused across positioned reads and grown without zero-filling:
// every byte it hands out was just read into it, so clearing it first would
// only cost time on every box of every clip.

#include "track/container/ByteSource.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>

namespace vek::track::container {

class ReadBuffer {
 public:
  // The `n` bytes at `offset`, valid until the next fill; nothing when they
  // are not all inside the source or the read failed.
  std::optional<Bytes> fill(ByteSource& source, std::uint64_t offset, std::uint64_t n);

 private:
  std::unique_ptr<std::byte[]> bytes_;
  std::size_t capacity_ = 0;
};

}  // namespace vek::track::container
