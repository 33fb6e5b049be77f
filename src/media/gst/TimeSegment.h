#pragma once
// The segment a pad probe's event carries, when it is a segment in time:
// the joins rewrite only those and pass every other event on unchanged.

#include <gst/gst.h>

namespace vek::media {

inline const GstSegment* time_segment(GstEvent* event) {
  if (event == nullptr || GST_EVENT_TYPE(event) != GST_EVENT_SEGMENT) {
    return nullptr;
  }
  const GstSegment* segment = nullptr;
  gst_event_parse_segment(event, &segment);
  return segment->format == GST_FORMAT_TIME ? segment : nullptr;
}

}  // namespace vek::media
