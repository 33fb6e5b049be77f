#pragma once
// The readers of families whose data sits in the clip under markers of its
// own (or under markers today's layouts could not read), tried in turn once
// today's layouts and the single-fix record have declined the clip.

#include "track/formats/Registry.h"

#include <vector>

namespace vek::track::formats {

struct ClipView {
  Bytes clip;
  const std::vector<Bytes>& freegps_blocks;  // the clip's freeGPS atoms, as the registry found them
};

// Fills `probe` with the first family whose reader finds validated fixes;
// otherwise adds each reader's reason to `probe.declined` and returns false.
bool read_clip_families(const ClipView& view, Probe& probe);

}  // namespace vek::track::formats
