#pragma once
// Hand-built clip bytes for the parser tests: fields are written at absolute
// offsets in the byte order the camera uses.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vek::track::test {

class ClipBuilder {
 public:
  explicit ClipBuilder(std::size_t size, std::byte fill = std::byte{0}) : bytes_(size, fill) {}

  ClipBuilder& ascii(std::size_t at, std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i)
      bytes_.at(at + i) = static_cast<std::byte>(text[i]);
    return *this;
  }
  ClipBuilder& u8(std::size_t at, std::uint8_t v) { return be(at, v, 1); }
  ClipBuilder& u16be(std::size_t at, std::uint16_t v) { return be(at, v, 2); }
  ClipBuilder& i32be(std::size_t at, std::int32_t v) { return be(at, static_cast<std::uint32_t>(v), 4); }
  ClipBuilder& u32be(std::size_t at, std::uint32_t v) { return be(at, v, 4); }
  ClipBuilder& u64be(std::size_t at, std::uint64_t v) { return be(at, v, 8); }
  ClipBuilder& f64le(std::size_t at, double v) {
    const auto bits = std::bit_cast<std::uint64_t>(v);
    for (std::size_t i = 0; i < 8; ++i)
      bytes_.at(at + i) = static_cast<std::byte>(bits >> (8 * i));
    return *this;
  }

  std::span<const std::byte> bytes() const { return bytes_; }
  std::size_t size() const { return bytes_.size(); }

 private:
  ClipBuilder& be(std::size_t at, std::uint64_t v, unsigned width) {
    for (unsigned i = 0; i < width; ++i)
      bytes_.at(at + i) = static_cast<std::byte>(v >> (8 * (width - 1 - i)));
    return *this;
  }

  std::vector<std::byte> bytes_;
};

// Counts non-overlapping occurrences of `needle`.
inline std::size_t count_of(std::string_view text, std::string_view needle) {
  std::size_t n = 0;
  for (std::size_t at = text.find(needle); at != std::string_view::npos; at = text.find(needle, at + needle.size()))
    ++n;
  return n;
}

// A log sink that keeps the lines.
struct LogLines {
  std::vector<std::string> lines;
  auto sink() {
    return [this](std::string_view line) { lines.emplace_back(line); };
  }
};

}  // namespace vek::track::test
