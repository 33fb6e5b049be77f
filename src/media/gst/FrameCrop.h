#pragma once
// Cuts a rectangle out of a packed RGB frame.

#include <gst/gst.h>

#include "base/glib/GstHandles.h"
#include "media/core/MediaPorts.h"

namespace vek::media {

// The part of `rgb` inside `area`, cut to the frame's bounds; null when that
// part is empty or the sample is not packed RGB.
base::SamplePtr crop_rgb(GstSample* rgb, const ScreenRect& area);

}  // namespace vek::media
