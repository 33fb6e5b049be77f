#include "track/container/ByteSource.h"

#include "track/container/ReadBuffer.h"

namespace vek::track::container {

bool ByteSource::read_ranges(std::span<const ByteRange> ranges, const RangeVisitor& visit) {
  for (const ByteRange& range : ranges)
    prefetch(range.offset, range.size);
  ReadBuffer buffer;
  for (std::size_t i = 0; i < ranges.size(); ++i) {
    const std::optional<Bytes> bytes = buffer.fill(*this, ranges[i].offset, ranges[i].size);
    if (!bytes) return false;
    if (!visit(i, *bytes)) return true;
  }
  return true;
}

}  // namespace vek::track::container
