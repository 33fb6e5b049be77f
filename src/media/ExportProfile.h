#pragma once
// The encoding of a merged export: QuickTime, H.264 and, when there is sound, AAC.

#include <gst/pbutils/encoding-profile.h>

#include <memory>

#include "media/GstPtr.h"

namespace vek::media {

using ProfilePtr = std::unique_ptr<GstEncodingProfile, GObjectUnref>;

ProfilePtr make_export_profile(bool with_audio);

}  // namespace vek::media
