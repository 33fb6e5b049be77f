#pragma once
// Which reader a clip's track comes from: the registry's verdict and, when
// the clip holds no GPS data of its own, the sidecar step.

#include "track/formats/Registry.h"

#include <filesystem>
#include <vector>

namespace vek::track::io {

struct ClipReading {
  formats::Probe probe;
  std::vector<std::filesystem::path> sidecars;  // the files the fixes came from, when not the clip
};

// `probe` is the registry's over the clip at `clip`; when it found nothing,
// the clip's sidecars are read.
ClipReading with_sidecars(const std::filesystem::path& clip, formats::Probe probe);

}  // namespace vek::track::io
