// The int32-DDMM trio's in-clip forms (freeGPS int32 blocks, the top-level
// "GPS " atom) and what passes for today's gps0 atom: a gps0 atom of XOR-0xAA
// text records and the AITG trailer.

#include "track/MovieHeader.h"
#include "track/formats/AitgTrailer.h"
#include "track/formats/Detector.h"
#include "track/formats/FreeGpsInt32.h"
#include "track/formats/GpsBox.h"
#include "track/formats/Notes.h"
#include "track/formats/XorText.h"

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

Detection detect_gps0_xor(ClipView& clip) {
  const container::Atom* gps0 = container::find_atom(clip.top_level(), "gps0");
  if (gps0 == nullptr) return declined("no top-level gps0 atom");
  const auto payload = payload_of(clip, *gps0);
  const std::vector<Bytes> records = payload ? xor_records_of_gps0(*payload) : std::vector<Bytes>{};
  if (records.empty())
    return declined(
        "a gps0 atom without 311-byte records carrying the f2 e1 f0 ee 54 54 signature at +2 "
        "(56-byte records are left unread: no known scale turns their values into positions)");
  Decoded decoded = decode_xor_text(records);
  note_once(decoded, "gps0 payload read as 311-byte records from its start, each read once");
  return validated_detection(std::move(decoded), "a gps0 atom of XOR-0xAA records");
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
