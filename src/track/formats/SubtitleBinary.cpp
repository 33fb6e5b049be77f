#include "track/formats/SubtitleBinary.h"

#include "track/formats/Nmea.h"
#include "track/formats/Notes.h"
#include "track/formats/TextFields.h"

namespace vek::track::formats {

namespace {

constexpr std::size_t kPrefix = 2;  // every offset below counts from after the prefix
constexpr std::size_t kSentenceSlot = 128;

struct Layout {
  std::uint16_t prefix;
  std::size_t accel_at;
  bool accel_32bit;
  double per_g;
  std::size_t rmc_at;
};

constexpr Layout kShort{288, 20, true, 1280.0, 32};
constexpr Layout kLong{1046, 28, false, 2048.0, 790};

const Layout* layout_of(Bytes sample) {
  ByteReader r(sample);
  if (!r.fits(0, kPrefix + 4) || r.u32be(kPrefix) != 0) return nullptr;
  const std::uint16_t prefix = r.u16be(0);
  if (prefix != sample.size() - kPrefix) return nullptr;
  return prefix == kShort.prefix ? &kShort : prefix == kLong.prefix ? &kLong : nullptr;
}

// Stored y, x, z with y pointing the other way.
GSensor accel_of(ByteReader& r, const Layout& layout) {
  const std::size_t at = kPrefix + layout.accel_at;
  const std::size_t step = layout.accel_32bit ? 4 : 2;
  const auto value = [&](std::size_t i) {
    const double raw = layout.accel_32bit ? r.i32le(at + i * step) : r.i16le(at + i * step);
    return static_cast<float>(raw / layout.per_g);
  };
  return {value(1), -value(0), value(2)};
}

bool same_time(const Fix& a, const Fix& b) {
  return a.time.year == b.time.year && a.time.month == b.time.month && a.time.day == b.time.day &&
         a.time.hour == b.time.hour && a.time.minute == b.time.minute && a.time.second == b.time.second;
}

}  // namespace

bool looks_like_subtitle_binary(Bytes sample) {
  return layout_of(sample) != nullptr;
}

Decoded decode_subtitle_binary(std::span<const Bytes> samples) {
  Decoded decoded;
  for (const Bytes sample : samples) {
    const Layout* layout = layout_of(sample);
    if (!layout) continue;
    ByteReader r(sample);
    const GSensor accel = accel_of(r, *layout);
    decoded.accel.push_back(accel);
    const auto rmc = parse_rmc(until_nul(as_text(r.range(kPrefix + layout->rmc_at, kSentenceSlot))), Checksum::ignored);
    if (layout == &kLong)
      note_once(decoded, "1046-byte samples read with the untested layout: i16 acceleration /2048 g at 28, RMC at 790");
    if (!rmc || (!decoded.fixes.empty() && same_time(decoded.fixes.back(), *rmc))) continue;
    decoded.fixes.push_back(*rmc);
    decoded.fixes.back().accel = accel;
  }
  note_once(decoded, "RMC checksums not checked: these writers never get them right");
  return decoded;
}

}  // namespace vek::track::formats
