#pragma once
// Byte strings for the family decoder tests, written field by field in the
// byte order each camera uses.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace vek::track::formats::test {

class ByteWriter {
 public:
  ByteWriter& text(std::string_view t) {
    for (const char c : t)
      bytes_.push_back(static_cast<std::byte>(c));
    return *this;
  }
  ByteWriter& zeros(std::size_t n) {
    bytes_.resize(bytes_.size() + n);
    return *this;
  }
  ByteWriter& u8(std::uint8_t v) { return be(v, 1); }
  ByteWriter& u16be(std::uint16_t v) { return be(v, 2); }
  ByteWriter& u32be(std::uint32_t v) { return be(v, 4); }
  ByteWriter& u64be(std::uint64_t v) { return be(v, 8); }
  ByteWriter& u16le(std::uint16_t v) { return le(v, 2); }
  ByteWriter& u32le(std::uint32_t v) { return le(v, 4); }
  ByteWriter& f32le(float v) { return le(std::bit_cast<std::uint32_t>(v), 4); }
  ByteWriter& f64le(double v) { return le(std::bit_cast<std::uint64_t>(v), 8); }
  ByteWriter& bytes(std::span<const std::byte> more) {
    bytes_.insert(bytes_.end(), more.begin(), more.end());
    return *this;
  }
  // Overwrites one byte already written.
  ByteWriter& set(std::size_t at, std::uint8_t v) {
    bytes_.at(at) = static_cast<std::byte>(v);
    return *this;
  }

  std::size_t size() const { return bytes_.size(); }
  std::span<const std::byte> view() const { return bytes_; }
  const std::vector<std::byte>& vector() const { return bytes_; }

 private:
  ByteWriter& be(std::uint64_t v, unsigned width) {
    for (unsigned i = 0; i < width; ++i)
      bytes_.push_back(static_cast<std::byte>(v >> (8 * (width - 1 - i))));
    return *this;
  }
  ByteWriter& le(std::uint64_t v, unsigned width) {
    for (unsigned i = 0; i < width; ++i)
      bytes_.push_back(static_cast<std::byte>(v >> (8 * i)));
    return *this;
  }

  std::vector<std::byte> bytes_;
};

inline std::span<const std::byte> text_bytes(std::string_view t) {
  return std::as_bytes(std::span<const char>(t.data(), t.size()));
}

}  // namespace vek::track::formats::test
