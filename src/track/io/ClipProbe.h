#pragma once
// Which reader a clip's track comes from: the registry's verdict and, when
// the clip holds no GPS data of its own, the sidecar step.

#include "track/container/ByteSource.h"
#include "track/formats/Registry.h"

#include <filesystem>
#include <optional>
#include <vector>

namespace vek::track::io {

struct ClipReading {
  formats::Probe probe;
  std::vector<std::filesystem::path> sidecars;  // the files the fixes came from, when not the clip
};

// `probe` is the registry's over the clip at `clip`; when it found nothing,
// the clip's sidecars are read.
ClipReading with_sidecars(const std::filesystem::path& clip, formats::Probe probe);

// The clip's sidecars in place of a search of the whole clip, when its
// structure (`structure`, the registry's positioned probe of `source`) left
// the clip undecided: its atoms tile the file, it has no `moov/gps ` index and
// no top-level gps0/gsen atom, a sidecar gives validated fixes, and no freeGPS
// block lies where cameras put unindexed ones. Nothing otherwise: the clip is
// then searched whole, as it always was.
std::optional<ClipReading> sidecars_instead_of_search(container::ByteSource& source, const std::filesystem::path& clip,
                                                      const formats::Probe& structure);

}  // namespace vek::track::io
