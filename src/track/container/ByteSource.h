#pragma once
// Positioned reads of a clip: its size, and the bytes at an offset. Readers
// that know where the camera data lies fetch only those bytes.

#include "track/ByteReader.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

namespace vek::track::container {

// [offset, offset + size) of a source.
struct ByteRange {
  std::uint64_t offset = 0;
  std::uint64_t size = 0;

  std::uint64_t end() const noexcept { return offset + size; }
  bool operator==(const ByteRange&) const = default;
};

// Takes the bytes of the range at `index`, valid during the call; false stops the reading.
using RangeVisitor = std::function<bool(std::size_t index, Bytes bytes)>;

class ByteSource {
 public:
  virtual ~ByteSource() = default;
  virtual std::uint64_t size() const noexcept = 0;
  // Fills `out` with the bytes at `offset`; false when they are not all
  // inside the source or the read failed.
  virtual bool read(std::uint64_t offset, std::span<std::byte> out) = 0;
  // A hint that [offset, offset + n) will be read soon: a file source starts
  // fetching it, so many scattered reads wait on the device together.
  virtual void prefetch(std::uint64_t /*offset*/, std::uint64_t /*n*/) {}
  // Reads each range once, in order, handing its bytes to `visit` until it
  // returns false; false when a range is not all inside the source or its
  // read failed. Every range is announced with `prefetch` first; a file
  // source may fetch them all at once instead.
  virtual bool read_ranges(std::span<const ByteRange> ranges, const RangeVisitor& visit);

  // [offset, offset + n) as a block, or nothing when it is not all there.
  std::optional<std::vector<std::byte>> block(std::uint64_t offset, std::uint64_t n) {
    if (offset > size() || n > size() - offset) return std::nullopt;
    std::vector<std::byte> bytes(static_cast<std::size_t>(n));
    if (!read(offset, bytes)) return std::nullopt;
    return bytes;
  }
};

// A source over bytes already in memory.
class SpanSource final : public ByteSource {
 public:
  explicit SpanSource(Bytes bytes) noexcept : bytes_(bytes) {}
  std::uint64_t size() const noexcept override { return bytes_.size(); }
  bool read(std::uint64_t offset, std::span<std::byte> out) override {
    if (offset > bytes_.size() || out.size() > bytes_.size() - offset) return false;
    const Bytes from = bytes_.subspan(static_cast<std::size_t>(offset), out.size());
    std::copy(from.begin(), from.end(), out.begin());
    return true;
  }

 private:
  Bytes bytes_;
};

}  // namespace vek::track::container
