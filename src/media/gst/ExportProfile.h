#pragma once
// The encoding of a merged export: QuickTime, H.264 and, when there is sound, AAC.

#include <gst/pbutils/encoding-profile.h>

#include <memory>

#include "base/glib/GstHandles.h"

namespace vek::media {

using ProfilePtr = std::unique_ptr<GstEncodingProfile, base::GObjectUnref>;

ProfilePtr make_export_profile(bool with_audio);

}  // namespace vek::media
