#include "track/Gps0Parser.h"

#include "track/Decoders.h"
#include "track/Degrees.h"
#include "track/Format.h"
#include "track/Search.h"

namespace vek::track {
namespace {

constexpr std::string_view kMarker = "gps0";
constexpr float kGsensorScale = 1e9F;
// Fixed corrections the camera maker applies to every decoded position.
constexpr double kLatitudeFix1 = -0.004475;
constexpr double kLatitudeFix2 = -0.0034;
constexpr double kLongitudeFix1 = 0.00117435;
constexpr double kLongitudeFix2 = -0.0176;

double corrected(double stored, double fix1, double fix2, const LogSink& log) {
  double degrees = ConvertDMSToDegrees(stored / 100, log);
  degrees = degrees + fix1;
  return degrees + fix2;
}

}  // namespace

int log_int(std::uint64_t value) noexcept {
  return static_cast<int>(static_cast<std::uint32_t>(value));
}

void for_each_gps0_chunk(Bytes clip, const LogSink& log, const std::function<void(Gps0Chunk&)>& visit,
                         std::uint64_t skipped) {
  ByteReader reader(clip);
  std::uint64_t p = indexOfData(marker_bytes(kMarker), clip, 0);
  for (;;) {
    // Unsigned arithmetic as the camera does it: after a failed search the
    // logged length is meaningless, but it is logged all the same.
    const std::uint64_t in_file = p == NSNotFound ? NSNotFound : skipped + p;
    const std::uint64_t n = (skipped + clip.size() - in_file) / kGps0Stride;
    if (log) log(formatted("影片長度:%i", log_int(n)));
    if (p == NSNotFound || n == 0) return;
    Gps0Chunk chunk{ByteReader(reader.range(p, n * kGps0Stride)), n};
    visit(chunk);
    p = indexOfData(marker_bytes(kMarker), clip, p + n * kGps0Stride);
  }
}

Gps0Record decode_gps0_record(ByteReader& chunk, std::uint64_t offset, const LogSink& log) {
  Gps0Record r;
  r.latitude = corrected(chunk.f64le(offset + 4), kLatitudeFix1, kLatitudeFix2, log);
  r.longitude = corrected(chunk.f64le(offset + 12), kLongitudeFix1, kLongitudeFix2, log);
  r.speed = static_cast<std::uint8_t>(hextodec(chunk.range(offset + 24, 2)) >> 8U);
  r.year = chunk.u8(offset + 26);
  r.month = chunk.u8(offset + 27);
  r.day = chunk.u8(offset + 28);
  r.hour = chunk.u8(offset + 29);
  r.minute = chunk.u8(offset + 30);
  r.second = chunk.u8(offset + 31);
  return r;
}

GSensor decode_gps0_gsensor(Gps0Chunk& chunk) {
  const std::uint64_t end = chunk.units * kGps0Stride;
  GSensor g;
  g.x = scaled(chunk.bytes.top_aligned(end - 12, 1), kGsensorScale);
  g.y = scaled(chunk.bytes.top_aligned(end - 8, 1), kGsensorScale);
  g.z = scaled(chunk.bytes.top_aligned(end - 4, 1), kGsensorScale);
  return g;
}

}  // namespace vek::track
