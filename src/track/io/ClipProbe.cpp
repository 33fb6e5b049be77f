#include "track/io/ClipProbe.h"

#include "track/io/SidecarRead.h"

namespace vek::track::io {

ClipReading with_sidecars(const std::filesystem::path& clip, formats::Probe probe) {
  ClipReading reading{std::move(probe), {}};
  formats::Probe& found = reading.probe;
  if (found.verdict != formats::Verdict::none) return reading;
  if (auto track = read_sidecars(clip, found.declined)) {
    found.verdict = formats::Verdict::family;
    found.family = std::move(track->family);
    found.decoded = std::move(track->decoded);
    reading.sidecars = std::move(track->used);
  }
  return reading;
}

}  // namespace vek::track::io
