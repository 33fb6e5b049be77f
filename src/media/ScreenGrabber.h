#pragma once
// Captures a still of the X11 screen.

#include "media/MediaPorts.h"
#include "media/RawFrame.h"

namespace vek::media {

// The part of `area` that lies on the screen, as one RGB frame; the part left
// of or above the screen's origin is cut off. Needs DISPLAY.
RawFrame grab_screen(const ScreenRect& area);

}  // namespace vek::media
