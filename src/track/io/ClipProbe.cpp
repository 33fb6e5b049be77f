#include "track/io/ClipProbe.h"

#include "track/io/SidecarRead.h"

namespace vek::track::io {

ClipReading read_clip_or_sidecars(const std::filesystem::path& clip, Bytes bytes) {
  ClipReading reading{formats::probe_clip(bytes), {}};
  formats::Probe& probe = reading.probe;
  if (probe.verdict != formats::Verdict::none) return reading;
  if (auto track = read_sidecars(clip, probe.declined)) {
    probe.verdict = formats::Verdict::family;
    probe.family = std::move(track->family);
    probe.decoded = std::move(track->decoded);
    reading.sidecars = std::move(track->used);
  }
  return reading;
}

}  // namespace vek::track::io
