#pragma once
// Puts the readings band on the video track of an export timeline: every frame
// leaving the track, already at the export's size, gets the band of the
// OverlayComposer blended in before it goes to the encoder.

#include <ges/ges.h>

#include <vector>

#include "drive/ExportRange.h"
#include "media/gst/OverlayComposer.h"

namespace vek::media {

// Attaches the overlay to the video track of `timeline`, whose clips are
// `segments`; false when the timeline has no video track. `composer` must
// outlive the render.
bool add_track_overlay(GESTimeline* timeline, std::vector<drive::Segment> segments, OverlayComposer& composer);

}  // namespace vek::media
