#pragma once
// Puts the readings band on a clip of a GES timeline: an overlaycomposition
// effect whose frames are drawn by the export's OverlayComposer.

#include <ges/ges.h>

#include <cstddef>

#include "media/OverlayComposer.h"

namespace vek::media {

// Adds the effect to `clip`, which shows clip `clip_index` of the selection;
// false when the effect cannot be made. `composer` must outlive the render.
bool add_overlay_effect(GESClip* clip, std::size_t clip_index, OverlayComposer& composer);

}  // namespace vek::media
