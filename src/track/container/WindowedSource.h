#pragma once
// A source that serves one window of the file from bytes already read and
// everything else from the file: a small atom read whole, then walked and
// parsed as if read piece by piece, costs one read.

#include "track/container/ByteSource.h"

#include <algorithm>

namespace vek::track::container {

class WindowedSource final : public ByteSource {
 public:
  // `window` holds the file's bytes from `begin` on.
  WindowedSource(ByteSource& file, std::uint64_t begin, Bytes window) noexcept
      : file_(file), begin_(begin), window_(window) {}

  std::uint64_t size() const noexcept override { return file_.size(); }
  bool read(std::uint64_t offset, std::span<std::byte> out) override {
    if (offset < begin_ || offset - begin_ > window_.size() || out.size() > window_.size() - (offset - begin_))
      return file_.read(offset, out);
    const Bytes from = window_.subspan(static_cast<std::size_t>(offset - begin_), out.size());
    std::copy(from.begin(), from.end(), out.begin());
    return true;
  }

 private:
  ByteSource& file_;
  std::uint64_t begin_;
  Bytes window_;
};

}  // namespace vek::track::container
