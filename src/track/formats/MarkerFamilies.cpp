// The int32-DDMM trio's in-clip forms (freeGPS int32 blocks, the top-level
// "GPS " atom) and the AITG trailer that passes for today's gps0 atom.

#include "track/MovieHeader.h"
#include "track/formats/AitgTrailer.h"
#include "track/formats/Detector.h"
#include "track/formats/FreeGpsInt32.h"
#include "track/formats/GpsBox.h"

namespace vek::track::formats {
namespace {

// The atom's payload, when it is no larger than any camera's telemetry.
std::optional<std::vector<std::byte>> payload_of(ClipView& clip, const container::Atom& atom) {
  const std::uint64_t size = atom.size - atom.header;
  return size <= kMaxTrackBytes ? clip.source().block(atom.payload(), size) : std::nullopt;
}

// Seconds since 1970 of the movie header's creation time.
std::optional<double> movie_start(ClipView& clip) {
  const container::Atom* moov = container::find_atom(clip.top_level(), "moov");
  const auto bytes =
      moov && moov->size <= kMaxTrackBytes ? clip.source().block(moov->offset, moov->size) : std::nullopt;
  return bytes ? movie_creation_unix(*bytes) : std::nullopt;
}

}  // namespace

Detection detect_int32_blocks(ClipView& clip) {
  Decoded decoded = decode_int32_blocks(clip.blocks());
  const std::string seen = std::to_string(clip.blocks().size()) + " freeGPS blocks";
  if (decoded.fixes.empty()) return declined(seen + ", none with the A/V at A+30 and VV at A+51 signature");
  return validated_detection(std::move(decoded), seen + " with int32 DDMM fixes");
}

Detection detect_gps_box(ClipView& clip) {
  const container::Atom* box = container::find_atom(clip.top_level(), "GPS ");
  if (box == nullptr) return declined("no top-level GPS atom");
  const auto payload = payload_of(clip, *box);
  if (!payload || !looks_like_gps_box(*payload)) return declined("a top-level GPS atom without its record signature");
  const std::optional<double> start = movie_start(clip);
  if (!start) return declined("a top-level GPS atom, but no movie header creation time to count from");
  return validated_detection(decode_gps_box(*payload, *start), "a top-level GPS atom");
}

Detection detect_aitg_trailer(ClipView& clip) {
  container::ByteSource& source = clip.source();
  const auto start = aitg_trailer_start(source);
  if (!start) return declined("no RIFF-style gps0/gsen trailer after the last atom");
  const std::uint64_t size = source.size() - *start;
  const auto trailer = size <= kMaxTrackBytes ? source.block(*start, size) : std::nullopt;
  if (!trailer) return declined("a trailer after the last atom, larger than any camera's telemetry");
  Decoded decoded = decode_aitg_trailer(*trailer);
  if (decoded.fixes.empty()) return declined("a trailer after the last atom, but no AITG record with a position");
  return validated_detection(std::move(decoded), "an AITG trailer");
}

}  // namespace vek::track::formats
