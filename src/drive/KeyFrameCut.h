#pragma once
// Where a copied (not re-encoded) segment can start and end: only on key
// frames, which a decoder can start from.

#include <vector>

#include "drive/ExportRange.h"

namespace vek::drive {

// The segments moved out to key frames of their clips: each start back to
// the key frame at or before it (the first key frame when none is), each end
// on to the key frame at or after it (or the clip's end). `key_frames[clip]`
// ascending, seconds; a clip without known key frames is taken whole. A
// segment of no length, or one wholly before its clip's first key frame, is
// left out. Offsets are recounted.
std::vector<Segment> snap_to_key_frames(const std::vector<Segment>& segments,
                                        const std::vector<std::vector<double>>& key_frames,
                                        const std::vector<double>& durations);

}  // namespace vek::drive
