#pragma once
// Which reader a clip's track comes from: the registry over the clip's bytes
// and, when the clip holds no GPS data of its own, the sidecar step.

#include "track/ByteReader.h"
#include "track/formats/Registry.h"

#include <filesystem>
#include <vector>

namespace vek::track::io {

struct ClipReading {
  formats::Probe probe;
  std::vector<std::filesystem::path> sidecars;  // the files the fixes came from, when not the clip
};

// `bytes` are the clip's at `clip`.
ClipReading read_clip_or_sidecars(const std::filesystem::path& clip, Bytes bytes);

}  // namespace vek::track::io
