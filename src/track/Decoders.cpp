#include "track/Decoders.h"

#include <cstdio>
#include <cstdlib>
#include <limits>

namespace vek::track {

std::uint32_t hextodec(Bytes field) noexcept {
  constexpr std::uint64_t kMax = std::numeric_limits<std::uint32_t>::max();
  std::uint64_t value = 0;
  for (const std::byte b : field) {
    value = (value << 8U) | static_cast<std::uint64_t>(b);
    if (value > kMax) return static_cast<std::uint32_t>(kMax);
  }
  return static_cast<std::uint32_t>(value);
}

double ConvertNSDataToDouble(Bytes field) {
  if (field.size() != sizeof(double)) {
    std::fputs("Assertion failed: [data length] == sizeof(d)\n", stderr);
    std::abort();
  }
  return ByteReader(field).f64le(0);
}

std::int32_t top_aligned(Bytes field) noexcept {
  const auto width = static_cast<unsigned>(field.size());
  if (width == 0 || width > 4) return 0;
  return ByteReader(field).top_aligned(0, width);
}

}  // namespace vek::track
