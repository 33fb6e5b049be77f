#include "track/GsensorParser.h"

#include "track/Decoders.h"
#include "track/Format.h"
#include "track/Gps0Parser.h"
#include "track/Search.h"

namespace vek::track {
namespace {

constexpr std::string_view kMarker = "gsen";
constexpr std::uint64_t kSlotSize = 12;  // x, y, z: two bytes each, two unread bytes after each
constexpr float kGsensorScale = 1e9F;

}  // namespace

GsensorSlots splitData_new_XYZ(Bytes clip, std::uint64_t skipped) {
  GsensorSlots slots;
  slots.clip_ = clip;
  std::uint64_t p = indexOfData(marker_bytes(kMarker), clip, 0);
  for (;;) {
    const std::uint64_t in_file = p == NSNotFound ? NSNotFound : skipped + p;
    const std::uint64_t m = (skipped + clip.size() - in_file) / kSlotSize;
    slots.searched_lengths_.push_back(m);
    if (p == NSNotFound || m == 0) return slots;
    slots.chunks_.push_back({p, m, slots.base_});
    slots.base_ += m;
    p = indexOfData(marker_bytes(kMarker), clip, p + m * kSlotSize);
  }
}

std::optional<GSensor> GsensorSlots::find(std::uint64_t number) const {
  for (const Chunk& chunk : chunks_) {
    if (number <= chunk.base || number - chunk.base > chunk.slots) continue;
    ByteReader reader(clip_);
    const std::uint64_t at = chunk.offset + (number - chunk.base - 1) * kSlotSize;
    GSensor g;
    g.x = scaled(reader.top_aligned(at, 2), kGsensorScale);
    g.y = scaled(reader.top_aligned(at + 4, 2), kGsensorScale);
    g.z = scaled(reader.top_aligned(at + 8, 2), kGsensorScale);
    return g;
  }
  return std::nullopt;
}

void GsensorSlots::log_pass(std::string_view time_list, const LogSink& log) const {
  if (!log) return;
  log("新晶片解析XYZ_start");
  std::string line = "lines:";
  line += time_list;
  log(line);
  for (const std::uint64_t m : searched_lengths_)
    log(formatted("XYZ影片長度:%i", log_int(m)));
}

}  // namespace vek::track
