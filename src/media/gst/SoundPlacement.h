#pragma once
// Keeps a copied segment's sound with its picture in a join: a probe on the
// segment's parsed sound stream drops the frames that fall outside the
// segment's slots, times the rest back to back from the segment's first slot
// (see SoundFrameFit) and fills the slots its sound leaves empty with frames
// of silence, so that concat, which starts each segment where the previous
// one's last frame ends, lays every segment's sound where its picture starts.

#include <gst/gst.h>

namespace vek::media {

struct SoundSpan {
  GstClockTime clip_start;    // the segment's in point, in the clip's stream time
  GstClockTime export_start;  // where the segment's picture starts in the export
  GstClockTime export_end;    // where the next segment's picture starts
  GstBuffer* silence;         // a frame of silence in the stream's format, or null: empty slots stay empty
};

// Installs the probe on `parsed`, the source pad of the segment's sound parser;
// it keeps its own reference to the silence.
void place_sound(GstPad* parsed, const SoundSpan& span);

}  // namespace vek::media
