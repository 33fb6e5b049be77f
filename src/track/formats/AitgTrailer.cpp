#include "track/formats/AitgTrailer.h"

#include "track/container/Atoms.h"
#include "track/formats/Globe.h"
#include "track/formats/Notes.h"
#include "track/formats/SingleFixRecord.h"
#include "track/formats/UtcClock.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <vector>

namespace vek::track::formats {
namespace {

constexpr std::uint64_t kAtomHeader = 8;
constexpr std::uint64_t kChunkHeader = 8;
constexpr std::uint64_t kFixRecord = 40;
constexpr std::uint64_t kAccelRecord = 12;
constexpr std::array<std::string_view, 4> kChunkTypes = {"gpsa", "gps0", "gsea", "gsen"};
constexpr double kKmhPerKnot = 1.852;
constexpr double kAccelPerG = 24.0;  // a guess of the one reader that has seen these records
constexpr int kYearBase = 1900;
// A day of records at ten a second; more is not a camera's trailer.
constexpr std::uint64_t kMaxRecords = 864000;

std::string_view type_at(ByteReader& r, std::uint64_t at) {
  const Bytes field = r.range(at, 4);
  return {reinterpret_cast<const char*>(field.data()), field.size()};
}

bool is_chunk_type(std::string_view type) {
  return std::find(kChunkTypes.begin(), kChunkTypes.end(), type) != kChunkTypes.end();
}

struct TimedAccel {
  std::uint32_t ms;
  GSensor g;
};

std::optional<Fix> aitg_fix(ByteReader& r, std::uint64_t at) {
  const auto lat = degrees_from_ddmm(r.f64le(at + 8));
  const auto lon = degrees_from_ddmm(r.f64le(at + 16));
  const std::uint8_t lat_side = r.u8(at + 0x21), lon_side = r.u8(at + 0x22);
  if (!lat || !lon || !on_globe(*lat, *lon) || lat_side < 1 || lat_side > 2 || lon_side < 1 || lon_side > 2)
    return std::nullopt;
  Fix fix;
  fix.latitude = lat_side == 2 ? -*lat : *lat;
  fix.longitude = lon_side == 2 ? -*lon : *lon;
  fix.speed_kmh = r.u16le(at + 0x18) * kKmhPerKnot;
  fix.time = {kYearBase + r.u8(at + 0x1A),         r.u8(at + 0x1B), r.u8(at + 0x1C), r.u8(at + 0x1D), r.u8(at + 0x1E),
              static_cast<double>(r.u8(at + 0x1F))};
  fix.course = r.u8(at + 0x20) * 2.0;
  return fix;
}

void read_fixes(ByteReader& r, Decoded& decoded, std::vector<std::uint32_t>& times) {
  for (std::uint64_t at = 0; r.fits(at, kFixRecord) && times.size() < kMaxRecords; at += kFixRecord) {
    if (type_at(r, at) != "AITG") continue;
    if (const auto fix = aitg_fix(r, at)) {
      decoded.fixes.push_back(*fix);
      times.push_back(r.u32le(at + 0x24));
    }
  }
}

void read_accel(ByteReader& r, std::vector<TimedAccel>& accel) {
  for (std::uint64_t at = 0; r.fits(at, kAccelRecord) && accel.size() < kMaxRecords; at += kAccelRecord) {
    if (type_at(r, at) != "AITS") continue;
    const auto axis = [&](std::uint64_t k) {
      return static_cast<float>(static_cast<std::int8_t>(r.u8(at + 4 + k)) / kAccelPerG);
    };
    accel.push_back({r.u32le(at + 8), GSensor{axis(0), axis(1), axis(2)}});
  }
}

// Each fix takes the first acceleration sample at or after its own time.
void attach_accel(Decoded& decoded, const std::vector<std::uint32_t>& times, const std::vector<TimedAccel>& accel) {
  std::size_t next = 0;
  for (std::size_t i = 0; i < decoded.fixes.size() && !accel.empty(); ++i) {
    while (next + 1 < accel.size() && accel[next].ms < times[i])
      ++next;
    decoded.fixes[i].accel = accel[next].g;
  }
}

}  // namespace

std::optional<std::uint64_t> aitg_trailer_start(container::ByteSource& source) {
  std::uint64_t at = 0;
  for (std::size_t n = 0; n < container::kMaxAtomsPerLevel && source.size() - at >= kAtomHeader; ++n) {
    const auto header = source.block(at, std::min<std::uint64_t>(2 * kAtomHeader, source.size() - at));
    if (!header) return std::nullopt;
    ByteReader r(*header);
    if (is_chunk_type(type_at(r, 0))) return at;
    std::uint64_t size = r.u32be(0);
    if (size == 1 && r.fits(0, 2 * kAtomHeader)) size = r.u64be(kAtomHeader);
    if (size < kAtomHeader || size > source.size() - at) return std::nullopt;
    at += size;
  }
  return std::nullopt;
}

Decoded decode_aitg_trailer(Bytes trailer) {
  ByteReader r(trailer);
  Decoded decoded;
  std::vector<std::uint32_t> times;
  std::vector<TimedAccel> accel;
  for (std::uint64_t at = 0; r.fits(at, kChunkHeader) && is_chunk_type(type_at(r, at));) {
    const std::uint64_t length = r.u32le(at + 4);
    if (!r.fits(at + kChunkHeader, length)) break;
    ByteReader chunk(r.range(at + kChunkHeader, length));
    if (type_at(r, at) == "gps0") read_fixes(chunk, decoded, times);
    if (type_at(r, at) == "gsen") read_accel(chunk, accel);
    at += kChunkHeader + length;
  }
  attach_accel(decoded, times, accel);
  if (!decoded.fixes.empty()) {
    note_once(decoded, "hemisphere bytes read as 1 = north or east, 2 = south or west");
    note_once(decoded, "record times read as UTC; AITS acceleration read as 1/24 g");
  }
  return decoded;
}

}  // namespace vek::track::formats
