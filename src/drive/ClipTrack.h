#pragma once
// One clip's samples as the page holds them after evaluating the clip's track
// text: ordered by time key, a key written twice holding its last values, and
// times counted from the earliest key. Built from the text the track library
// makes for the clip, so the export reads exactly what the page shows.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vek::drive {

struct Sample {
  double t = 0;          // seconds after the clip's first sample
  double speed_kmh = 0;  // NaN when the text holds no number
  double lat = 0;
  double lon = 0;
  double x = 0;
  double y = 0;
  double z = 0;
  std::string label;   // the position label, possibly empty
  std::string status;  // the fix status as written: "2" throughout in the gps0 forms
  bool valid = false;  // a real position: in range and not exactly 0,0
};

struct ClipTrack {
  std::vector<Sample> samples;
  double start = 0;  // the first key's time, seconds since 1970 in the camera's clock
  // Seconds the keys run ahead of UTC: the offset the track's form adds.
  double key_offset = 0;
};

// Reads the sample statements of a track text; anything else is skipped.
ClipTrack read_track_text(std::string_view text);

// The sample the page shows at `video_time` seconds of the clip: the last one
// at or before it, the first one before the first; -1 for an empty track.
std::ptrdiff_t sample_index_at(const ClipTrack& track, double video_time);

}  // namespace vek::drive
