#include "track/formats/FreeGpsInt32.h"

#include "track/formats/Globe.h"
#include "track/formats/Notes.h"
#include "track/formats/UtcClock.h"
#include "track/formats/V02Csv.h"

#include <cstdlib>

namespace vek::track::formats {
namespace {

constexpr std::uint64_t kStatusAt = 30;
constexpr std::uint64_t kVoidPairAt = 51;
constexpr std::uint64_t kClockAt = 0x16D;
constexpr std::uint64_t kMinAtom = kClockAt + 4;
constexpr std::int64_t kDegreeUnits = 10000000;  // DDMM x 1e5: degrees above this, minutes x 1e5 below
constexpr double kMinuteUnits = 100000.0;

bool signature(ByteReader& r) {
  if (!r.fits(0, kMinAtom)) return false;
  const auto status = static_cast<char>(r.u8(kStatusAt));
  return (status == 'A' || status == 'V') && r.u8(kVoidPairAt) == 'V' && r.u8(kVoidPairAt + 1) == 'V' &&
         r.u16le(12) == r.u16le(18) && r.u16le(14) == 0;
}

std::optional<double> degrees_of(std::int32_t raw) {
  const std::int64_t magnitude = std::llabs(static_cast<std::int64_t>(raw));
  const double minutes = static_cast<double>(magnitude % kDegreeUnits) / kMinuteUnits;
  if (minutes >= 60) return std::nullopt;
  const std::int64_t whole_degrees = magnitude / kDegreeUnits;
  const double degrees = static_cast<double>(whole_degrees) + minutes / 60.0;
  return raw < 0 ? -degrees : degrees;
}

bool same_place(const Fix& a, const Fix& b) {
  return a.latitude == b.latitude && a.longitude == b.longitude && a.speed_kmh == b.speed_kmh && a.course == b.course &&
         a.valid == b.valid;
}

}  // namespace

std::optional<Int32Block> decode_int32_block(Bytes atom) {
  ByteReader r(atom);
  if (!signature(r)) return std::nullopt;
  const auto lat = degrees_of(r.i32le(kStatusAt + 1));
  const auto lon = degrees_of(r.i32le(kStatusAt + 5));
  const std::int32_t speed = r.i32le(kStatusAt + 13);
  if (!lat || !lon || !on_globe(*lat, *lon) || speed < 0) return std::nullopt;
  Int32Block block{};
  block.fix.valid = r.u8(kStatusAt) == 'A';
  block.fix.latitude = *lat;
  block.fix.longitude = *lon;
  block.fix.course = static_cast<double>(r.i32le(kStatusAt + 9));
  block.fix.speed_kmh = static_cast<double>(speed);
  block.clock = r.u32le(kClockAt);
  return block;
}

Decoded decode_int32_blocks(const std::vector<Bytes>& atoms) {
  Decoded decoded;
  std::optional<std::uint32_t> first_clock;
  for (const Bytes atom : atoms) {
    auto block = decode_int32_block(atom);
    if (!block) continue;
    if (!decoded.fixes.empty() && same_place(decoded.fixes.back(), block->fix)) continue;
    first_clock = first_clock.value_or(block->clock);
    const double seconds = *first_clock + kV02ClockBehindUtcSeconds + static_cast<double>(decoded.fixes.size());
    const auto time = utc_from_unix(seconds);
    if (!time) continue;
    block->fix.time = *time;
    decoded.fixes.push_back(block->fix);
  }
  if (!decoded.fixes.empty()) {
    note_once(decoded, "repeated atoms collapsed, one fix a second from the first atom's clock");
    note_once(decoded, "the clock at A+0x16D read as 8 h behind UTC, like the CSV log's");
  }
  return decoded;
}

}  // namespace vek::track::formats
