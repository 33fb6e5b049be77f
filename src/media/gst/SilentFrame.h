#pragma once
// One compressed AAC frame of silence, made by the installed encoder, for
// the stretches of a copied join that a clip's own sound does not cover. A
// raw AAC-LC frame decodes under any stream's setup of the same rate and
// channels, so it can stand between a clip's own frames.

#include <gst/gst.h>

#include "base/glib/GstHandles.h"

namespace vek::media {

// A frame of silence at the rate and channels of `sound` (AAC caps); null
// when no AAC encoder is installed or the format is not one it takes.
base::BufferPtr silent_aac_frame(const GstCaps* sound);

}  // namespace vek::media
