// The top-level `free` atom whose payload is child atoms (sttm, gps , 3gf ...).

#include "track/formats/Detector.h"
#include "track/formats/FreeChildren.h"
#include "track/formats/TextFields.h"

namespace vek::track::formats {
namespace {

constexpr std::uint64_t kChildHeader = 8;
// The logs of an hour of driving with room to spare; a larger `free` atom is padding.
constexpr std::uint64_t kMaxChildrenBox = std::uint64_t{16} << 20;

std::optional<std::vector<std::byte>> children_payload(ClipView& clip, const container::Atom& atom) {
  const std::uint64_t size = atom.size - atom.header;
  if (!atom.is("free") || size < kChildHeader || size > kMaxChildrenBox) return std::nullopt;
  const auto first = clip.source().block(atom.payload(), kChildHeader);
  if (!first) return std::nullopt;
  ByteReader r(*first);
  if (r.u32be(0) < kChildHeader || !known_child(as_text(r.range(4, 4)))) return std::nullopt;
  return clip.source().block(atom.payload(), size);
}

}  // namespace

Detection detect_free_children(ClipView& clip) {
  for (const container::Atom& atom : clip.top_level()) {
    const auto payload = children_payload(clip, atom);
    if (payload && looks_like_free_children(*payload))
      return validated_detection(decode_free_children(*payload), "a free atom with gps/3gf children");
  }
  return declined("no top-level free atom whose payload starts with a cprt, sttm, gps  or 3gf  child");
}

}  // namespace vek::track::formats
