#pragma once
// Draws the readings band with cairo: one translucent panel per element, so
// an element switched off leaves the picture under it untouched.

#include <cairo.h>

#include <vector>

#include "drive/BandLayout.h"
#include "drive/FrameReadings.h"

namespace vek::media {

// Paints the band's elements onto `cr`, whose origin is the band's top left.
void paint_band(cairo_t* cr, const drive::BandLayout& layout, const drive::FrameReadings& readings,
                const std::vector<drive::RoutePoint>& route);

}  // namespace vek::media
