#pragma once
// Captures a still of the X11 screen.

#include "media/core/MediaPorts.h"
#include "media/gst/RawFrame.h"

namespace vek::media {

// The part of `area` that lies on the screen, as one RGB frame. Needs DISPLAY.
RawFrame grab_screen(const ScreenRect& area);

}  // namespace vek::media
