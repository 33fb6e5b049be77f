#include "track/container/ReadBuffer.h"

namespace vek::track::container {

std::optional<Bytes> ReadBuffer::fill(ByteSource& source, std::uint64_t offset, std::uint64_t n) {
  if (offset > source.size() || n > source.size() - offset) return std::nullopt;
  const auto length = static_cast<std::size_t>(n);
  if (length > capacity_) {
    bytes_ = std::make_unique_for_overwrite<std::byte[]>(length);
    capacity_ = length;
  }
  const std::span<std::byte> into(bytes_.get(), length);
  if (!source.read(offset, into)) return std::nullopt;
  return Bytes(into);
}

}  // namespace vek::track::container
