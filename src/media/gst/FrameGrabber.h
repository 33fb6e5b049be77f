#pragma once
// Decodes single frames of a clip.

#include <gst/gst.h>

#include <string>

#include "media/gst/RawFrame.h"

namespace vek::media {

// The frame of `uri` shown at stream time `at`, upright when the clip carries
// a rotation tag, at its own pixel size. A time past the end gives the last
// frame. Blocks the caller, bounded by internal timeouts.
RawFrame grab_frame(const std::string& uri, GstClockTime at);

}  // namespace vek::media
