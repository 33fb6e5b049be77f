#pragma once
// The one bounds-checked way the parsers read a clip's bytes. Every read is
// checked as `n > remaining` before it happens (never by subtracting first),
// and a read that does not fit sets a sticky flag and yields zero.
//
// The parsers guard every read that could leave the bytes (`fits` first), so
// an overflow means a missing guard whose zeros may have been taken for data.
// Each one is also counted per thread, so the fuzz target and the tests can
// assert that no input makes any parser overflow.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

namespace vek::track {

using Bytes = std::span<const std::byte>;

class ByteReader {
 public:
  explicit ByteReader(Bytes bytes) noexcept : bytes_(bytes) {}

  std::size_t size() const noexcept { return bytes_.size(); }
  bool overflowed() const noexcept { return overflow_; }
  // Overflows of every reader on this thread since it started.
  static std::uint64_t overflows_on_this_thread() noexcept { return thread_overflows_; }
  Bytes bytes() const noexcept { return bytes_; }

  // True when [offset, offset + n) lies inside the bytes.
  bool fits(std::uint64_t offset, std::uint64_t n) const noexcept {
    return offset <= bytes_.size() && n <= bytes_.size() - offset;
  }

  // The sub-range [offset, offset + n); empty (and the flag set) when it does not fit.
  Bytes range(std::uint64_t offset, std::uint64_t n) noexcept {
    if (!fits(offset, n)) {
      overflow_ = true;
      ++thread_overflows_;
      return {};
    }
    return bytes_.subspan(static_cast<std::size_t>(offset), static_cast<std::size_t>(n));
  }

  std::uint8_t u8(std::uint64_t offset) noexcept { return static_cast<std::uint8_t>(be(offset, 1)); }
  std::uint16_t u16be(std::uint64_t offset) noexcept { return static_cast<std::uint16_t>(be(offset, 2)); }
  std::int32_t i32be(std::uint64_t offset) noexcept {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(be(offset, 4)));
  }

  // A field of `width` (1, 2 or 4) bytes placed in the top bytes of a
  // big-endian 32-bit two's-complement integer, the rest zero.
  std::int32_t top_aligned(std::uint64_t offset, unsigned width) noexcept {
    const auto value = static_cast<std::uint32_t>(be(offset, width));
    return static_cast<std::int32_t>(value << (8U * (4U - width)));
  }

  // Eight bytes holding an IEEE 754 double, least significant byte first.
  double f64le(std::uint64_t offset) noexcept { return std::bit_cast<double>(le(offset, 8)); }
  double f64be(std::uint64_t offset) noexcept { return std::bit_cast<double>(be(offset, 8)); }
  float f32le(std::uint64_t offset) noexcept { return std::bit_cast<float>(static_cast<std::uint32_t>(le(offset, 4))); }
  float f32be(std::uint64_t offset) noexcept { return std::bit_cast<float>(static_cast<std::uint32_t>(be(offset, 4))); }

  std::uint16_t u16le(std::uint64_t offset) noexcept { return static_cast<std::uint16_t>(le(offset, 2)); }
  std::int16_t i16le(std::uint64_t offset) noexcept { return static_cast<std::int16_t>(u16le(offset)); }
  std::int16_t i16be(std::uint64_t offset) noexcept { return static_cast<std::int16_t>(u16be(offset)); }
  std::uint32_t u32le(std::uint64_t offset) noexcept { return static_cast<std::uint32_t>(le(offset, 4)); }
  std::uint32_t u32be(std::uint64_t offset) noexcept { return static_cast<std::uint32_t>(be(offset, 4)); }
  std::int32_t i32le(std::uint64_t offset) noexcept { return static_cast<std::int32_t>(u32le(offset)); }
  std::uint64_t u64be(std::uint64_t offset) noexcept { return be(offset, 8); }

 private:
  std::uint64_t be(std::uint64_t offset, unsigned width) noexcept {
    std::uint64_t value = 0;
    for (const std::byte b : range(offset, width))
      value = (value << 8U) | static_cast<std::uint64_t>(b);
    return value;
  }

  std::uint64_t le(std::uint64_t offset, unsigned width) noexcept {
    std::uint64_t value = 0;
    unsigned shift = 0;
    for (const std::byte b : range(offset, width)) {
      value |= static_cast<std::uint64_t>(b) << shift;
      shift += 8U;
    }
    return value;
  }

  Bytes bytes_;
  bool overflow_ = false;
  static inline thread_local std::uint64_t thread_overflows_ = 0;
};

}  // namespace vek::track
