#include "track/TodayLayouts.h"

#include "track/FreeGpsParser.h"
#include "track/Gps0Parser.h"
#include "track/Search.h"

#include <cmath>

namespace vek::track {
namespace {

constexpr int kEarliestYear = 2000;  // cameras with these layouts are of this century
constexpr int kLatestYear = 2100;
constexpr std::int32_t kMaxLatitudeE7 = 900000000;
constexpr std::int32_t kMaxLongitudeE7 = 1800000000;
// Boxes judged per clip: enough to tell a layout apart, few enough that
// judging costs a fraction of the read.
constexpr std::uint64_t kBoxesJudged = 64;
constexpr std::uint64_t kBoxFromMarker = 44;
constexpr std::uint64_t kBoxSize = 332;

bool plausible_date(int year, int month, int day, int hour, int minute) noexcept {
  return year >= kEarliestYear && year <= kLatestYear && month >= 1 && month <= 12 && day >= 1 && day <= 31 &&
         hour < 24 && minute < 60;
}

}  // namespace

bool is_plausible_box(const FreeGpsBox& box) noexcept {
  if (!plausible_date(static_cast<int>(box.year), box.month, box.day, box.hour, box.minute)) return false;
  for (const FreeGpsSample& s : box.samples) {
    const bool status = s.status == 'A' || s.status == 'V';
    if (!status || s.seconds >= 60 || std::abs(static_cast<std::int64_t>(s.latitude_e7)) > kMaxLatitudeE7 ||
        std::abs(static_cast<std::int64_t>(s.longitude_e7)) > kMaxLongitudeE7)
      return false;
  }
  return true;
}

bool is_plausible_record(const Gps0Record& r) noexcept {
  return plausible_date(r.year + kGps0YearBase, r.month, r.day, r.hour, r.minute) && r.second < 60 &&
         std::isfinite(r.latitude) && std::isfinite(r.longitude) && std::abs(r.latitude) <= 90 &&
         std::abs(r.longitude) <= 180;
}

PlausibleShare freegps_share(Bytes clip) {
  PlausibleShare share;
  ByteReader reader(clip);
  // The boxes today's search decodes, in its order, up to the judged number.
  for (std::uint64_t p = first_freegps_marker(clip); p != NSNotFound && share.seen < kBoxesJudged;
       p = indexOfData(marker_bytes("freeGPS"), clip, p + kBoxSize)) {
    if (reader.fits(p + kBoxFromMarker, kBoxSize))
      share.add(is_plausible_box(decode_freegps_box(reader, p + kBoxFromMarker)));
  }
  return share;
}

PlausibleShare gps0_share(Bytes clip) {
  PlausibleShare share;
  for_each_gps0_chunk(clip, {}, [&](Gps0Chunk& chunk) {
    for (std::uint64_t k = kGps0SkippedRecords; gps0_record_fits(chunk, k); ++k)
      share.add(is_plausible_record(decode_gps0_record(chunk.bytes, k * kGps0RecordSize, {})));
  });
  return share;
}

}  // namespace vek::track
