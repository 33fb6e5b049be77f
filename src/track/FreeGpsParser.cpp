#include "track/FreeGpsParser.h"

#include "track/Decoders.h"
#include "track/Search.h"

namespace vek::track {
namespace {

constexpr std::string_view kMarker = "freeGPS";
constexpr std::uint64_t kBoxOffset = 44;  // the box starts this far behind the marker
constexpr std::uint64_t kBoxSize = 332;   // ten 32-byte samples and twelve G-sensor bytes
constexpr std::uint64_t kSampleSize = 32;
constexpr std::uint64_t kGsensorAt = 320;  // x, y, z one byte each, four bytes apart
constexpr float kDegreesScale = 1e7F;
constexpr float kGsensorScale = 1e9F;

FreeGpsSample decode_sample(ByteReader& clip, std::uint64_t at) {
  FreeGpsSample s;
  s.speed_cm_s = clip.u16be(at + 2);
  s.degrees = scaled(clip.top_aligned(at + 4, 2), kDegreesScale);
  s.seconds = static_cast<float>(clip.u16be(at + 12)) / 10.0F;
  s.status = clip.u8(at + 14);
  s.latitude_e7 = clip.i32be(at + 15);
  s.longitude_e7 = clip.i32be(at + 19);
  return s;
}

}  // namespace

FreeGpsBox decode_freegps_box(ByteReader& clip, std::uint64_t offset) {
  FreeGpsBox box;
  box.year = clip.u16be(offset + 6);
  box.month = clip.u8(offset + 8);
  box.day = clip.u8(offset + 9);
  box.hour = clip.u8(offset + 10);
  box.minute = clip.u8(offset + 11);
  for (std::size_t j = 0; j < kSamplesPerBox; ++j)
    box.samples[j] = decode_sample(clip, offset + kSampleSize * j);
  box.gsensor.x = scaled(clip.top_aligned(offset + kGsensorAt, 1), kGsensorScale);
  box.gsensor.y = scaled(clip.top_aligned(offset + kGsensorAt + 4, 1), kGsensorScale);
  box.gsensor.z = scaled(clip.top_aligned(offset + kGsensorAt + 8, 1), kGsensorScale);
  return box;
}

std::uint64_t first_freegps_marker(Bytes clip) noexcept {
  return indexOfData(marker_bytes(kMarker), clip, 0);
}

std::uint64_t scan_freegps(Bytes clip, std::uint64_t first, const std::function<void(const FreeGpsBox&)>& visit) {
  std::uint64_t decoded = 0;
  ByteReader reader(clip);
  for (std::uint64_t p = first; p != NSNotFound;) {
    if (reader.fits(p + kBoxOffset, kBoxSize)) {
      visit(decode_freegps_box(reader, p + kBoxOffset));
      ++decoded;
    }
    // The next search starts 44 bytes before the box's end, so a marker
    // in the box's tail is found and its box overlaps this one.
    p = indexOfData(marker_bytes(kMarker), clip, p + kBoxSize);
  }
  return decoded;
}

}  // namespace vek::track
