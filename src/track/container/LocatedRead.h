#pragma once
// The track text from the bytes the camera data occupies, found through the
// clip's structure instead of a search of every byte: the freeGPS boxes its
// `moov/gps ` index lists, or the top-level `gps0`/`gsen` atoms at its end.

#include "track/Log.h"
#include "track/Track.h"
#include "track/container/ByteSource.h"

#include <cstdint>
#include <string_view>

namespace vek::track::container {

enum class LocatedOutcome {
  written_boxes,  // the sink holds the whole text, from the freeGPS boxes the index lists
  written_tail,   // the sink holds the whole text, from the gps0/gsen atoms
  fall_back,      // the structure cannot be followed; nothing was written
  read_failed,    // a listed box could not be read (the clip changed or vanished); nothing was written
};

inline bool is_written(LocatedOutcome outcome) noexcept {
  return outcome == LocatedOutcome::written_boxes || outcome == LocatedOutcome::written_tail;
}

// The tail after `gps0` is read whole; a longer one is not a camera's.
inline constexpr std::uint64_t kMaxTailSize = std::uint64_t{64} << 20;

// Writes to `sink` the text the whole-file search gives for this clip, as
// long as the clip holds no marker outside the parts read; falls back
// whenever an index entry, an atom size or a box position does not add up.
LocatedOutcome extract_located(ByteSource& source, std::string_view fns, Form form, TextSink& sink,
                               const LogSink& log = {});

}  // namespace vek::track::container
