#pragma once
// Whether today's two layouts make sense of a clip: dates that exist and
// positions on the globe for most of its freeGPS boxes or gps0 records.
// Other families carry the same markers with other layouts; this is how
// their clips are told apart without changing a byte of today's text.

#include "track/ByteReader.h"
#include "track/Samples.h"

namespace vek::track {

bool is_plausible_box(const FreeGpsBox& box) noexcept;
bool is_plausible_record(const Gps0Record& record) noexcept;

// Counts what was decoded and how much of it made sense.
struct PlausibleShare {
  std::uint64_t seen = 0;
  std::uint64_t plausible = 0;
  void add(bool ok) noexcept { ++seen, plausible += ok ? 1 : 0; }
  bool holds() const noexcept { return seen > 0 && plausible * 2 >= seen; }
};

// Today's freeGPS boxes of the clip, as today's search finds them (the first
// of them: a clip's layout does not change from box to box).
PlausibleShare freegps_share(Bytes clip);
// Today's gps0 records of the clip (those its text is made of).
PlausibleShare gps0_share(Bytes clip);

}  // namespace vek::track
