#pragma once
// One decoded picture as packed RGB, or the reason there is none.

#include <string>

#include "base/glib/GstHandles.h"

namespace vek::media {

struct RawFrame {
  base::SamplePtr sample;  // video/x-raw, format RGB; null on failure
  std::string error;
};

}  // namespace vek::media
